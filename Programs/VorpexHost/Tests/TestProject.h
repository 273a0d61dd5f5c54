#pragma once

// A project folder of a test's own in a fresh temporary folder: a project.json the test writes
// (usually the bundled sample's, changed) and a Content folder that links to the sample's or is
// written by the test.

#include "CoreMinimal.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class FTestProject
{
public:
	FTestProject()
		: Root(std::filesystem::temp_directory_path() / ("VorpexHostTest-" + std::to_string(std::random_device{}())))
	{
		std::filesystem::create_directories(Root);
	}
	~FTestProject() { std::filesystem::remove_all(Root); }
	FTestProject(const FTestProject&) = delete;
	FTestProject& operator=(const FTestProject&) = delete;

	/** The bundled sample's project.json. */
	static nlohmann::json SampleJson()
	{
		std::ifstream Stream(std::filesystem::path(VORPEX_SAMPLE_PROJECT) / "project.json");
		return nlohmann::json::parse(Stream);
	}

	/** Makes Content a link to the sample's content folder. */
	void LinkSampleContent() const { std::filesystem::create_directory_symlink(std::filesystem::path(VORPEX_SAMPLE_PROJECT) / "Content", Root / "Content"); }

	/** Writes Text to Path below the project folder, making its folders. */
	void WriteText(const std::string& Path, const std::string& Text) const
	{
		std::filesystem::create_directories((Root / Path).parent_path());
		std::ofstream(Root / Path, std::ios::binary) << Text;
	}

	void WriteProject(const nlohmann::json& Project) const { WriteText("project.json", Project.dump(2)); }

	/** A sample project of its own: the sample's project.json and a link to its content. */
	void MakeSample() const
	{
		LinkSampleContent();
		WriteProject(SampleJson());
	}

	FString Dir() const { return FString(Root.string()); }
	FString File() const { return FString((Root / "project.json").string()); }

	std::filesystem::path Root;
};
