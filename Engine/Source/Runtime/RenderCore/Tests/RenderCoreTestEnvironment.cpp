#include "RenderCoreTestEnvironment.h"

#include "RenderCoreTestShaders.h"
#include "ShaderCore.h"

#include <cstdlib>
#include <fstream>
#include <random>

namespace
{
	std::filesystem::path& Root()
	{
		static std::filesystem::path Folder;
		return Folder;
	}

	class FRenderCoreTestEnvironment : public ::testing::Environment
	{
	public:
		void SetUp() override
		{
			Root() = std::filesystem::temp_directory_path() / ("VorpexRenderCoreTest-" + std::to_string(std::random_device{}()));
			std::filesystem::create_directories(RenderCoreTest::GetShaderFolder());
			std::filesystem::create_directories(RenderCoreTest::GetLateShaderFolder());
			for (const auto& [Name, Text] : RenderCoreTest::GetShaderFiles())
			{
				std::ofstream(RenderCoreTest::GetShaderFolder() / Name, std::ios::binary) << Text;
			}
			std::ofstream(RenderCoreTest::GetLateShaderFolder() / RenderCoreTest::LateShaderFile, std::ios::binary) << R"(RWTexture2D<float4> Output;
[numthreads(1, 1, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID) { Output[Id.xy] = float4(1, 0, 0, 1); }
)";
			setenv("VORPEX_SHADER_CACHE", (Root() / "Cache").c_str(), 1);
			setenv("VORPEX_RHI_VALIDATION", "1", 0);
			AddShaderSourceDirectoryMapping(TEXT("/RenderCoreTest"), FString(RenderCoreTest::GetShaderFolder().string()));
			// At exit rather than in TearDown: the children of death tests exit without tearing down.
			std::atexit([] {
				std::error_code Ignored;
				std::filesystem::remove_all(Root(), Ignored);
			});
		}
	};

	[[maybe_unused]] ::testing::Environment* const Environment = ::testing::AddGlobalTestEnvironment(new FRenderCoreTestEnvironment());
}

const std::filesystem::path& RenderCoreTest::GetShaderFolder()
{
	static const std::filesystem::path Folder = Root() / "Shaders";
	return Folder;
}

const std::filesystem::path& RenderCoreTest::GetLateShaderFolder()
{
	static const std::filesystem::path Folder = Root() / "Late";
	return Folder;
}
