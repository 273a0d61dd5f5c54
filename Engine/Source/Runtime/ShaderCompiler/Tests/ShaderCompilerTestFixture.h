#pragma once

// A fresh temporary folder per test with a shader folder, mapped under a virtual root no other
// test uses, and a cache folder; the mappings are reset afterwards.

#include "ShaderCompiler.h"
#include "ShaderCore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class ShaderCompilerTestFixture : public ::testing::Test
{
protected:
	void SetUp() override
	{
		static std::atomic<int> Counter = 0;
		const int Index = ++Counter;
		const auto Folder = std::filesystem::temp_directory_path()
			/ ("VorpexShaderCompilerTest-" + std::to_string(std::random_device{}()) + "-" + std::to_string(Index));
		std::filesystem::create_directories(Folder / "Shaders");
		Root = std::filesystem::canonical(Folder);
		VirtualRoot = "/Plugin/ShaderTest" + std::to_string(Index);
		ResetAllShaderSourceDirectoryMappings();
		AddShaderSourceDirectoryMapping(FString(VirtualRoot), FString((Root / "Shaders").string()));
	}

	void TearDown() override
	{
		ResetAllShaderSourceDirectoryMappings();
		std::filesystem::remove_all(Root);
	}

	/** Writes a shader file under the mapped folder. */
	void Write(const std::string& Relative, const std::string& Text) const
	{
		const auto Path = Root / "Shaders" / Relative;
		std::filesystem::create_directories(Path.parent_path());
		std::ofstream(Path, std::ios::binary) << Text;
	}

	FString Virtual(const std::string& Relative) const { return FString(VirtualRoot + "/" + Relative); }
	std::string Real(const std::string& Relative) const { return (Root / "Shaders" / Relative).string(); }
	FString CacheFolder() const { return FString((Root / "Cache").string()); }

	std::filesystem::path Root;
	std::string VirtualRoot;
};

