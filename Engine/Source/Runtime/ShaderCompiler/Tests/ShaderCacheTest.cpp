#include "Logging/LogCapture.h"
#include "ShaderCompilerTestFixture.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
	std::string ShaderUsing(const char* Header)
	{
		return std::string("#include \"") + Header + "\"\nRWTexture2D<float4> Destination;\n[numthreads(8, 8, 1)]\n"
			"void MainCS(uint3 Id : SV_DispatchThreadID) { Destination[Id.xy] = Color() * SCALE; }\n";
	}

	void ExpectSameOutput(const FShaderCompileOutput& A, const FShaderCompileOutput& B)
	{
		EXPECT_EQ(A.bSucceeded, B.bSucceeded);
		EXPECT_EQ(A.Spirv, B.Spirv);
		EXPECT_EQ(A.Resources, B.Resources);
		EXPECT_EQ(A.ThreadGroupSize[0], B.ThreadGroupSize[0]);
		EXPECT_EQ(A.ThreadGroupSize[1], B.ThreadGroupSize[1]);
		EXPECT_EQ(A.ThreadGroupSize[2], B.ThreadGroupSize[2]);
	}
}

class ShaderCacheTest : public ShaderCompilerTestFixture
{
protected:
	void SetUp() override
	{
		ShaderCompilerTestFixture::SetUp();
		Write("Color.ush", "float4 Color() { return float4(1, 0, 0, 1); }\n");
		Write("Main.usf", ShaderUsing("Color.ush"));
	}

	FShaderCompileInput Input(float Scale = 1) const
	{
		FShaderCompileInput Result(Virtual("Main.usf"), TEXT("MainCS"), EShaderStage::Compute);
		Result.SetDefine(TEXT("SCALE"), FString::SanitizeFloat(Scale));
		return Result;
	}

	/** The one cache file there must be. */
	std::filesystem::path OnlyCacheFile() const
	{
		std::vector<std::filesystem::path> Files;
		for (const auto& Entry : std::filesystem::directory_iterator(CacheFolder().ToStdString()))
		{
			Files.push_back(Entry.path());
		}
		EXPECT_EQ(Files.size(), 1u);
		return Files.empty() ? std::filesystem::path() : Files[0];
	}
};

TEST_F(ShaderCacheTest, ARepeatedCompileHitsAndAChangedIncludeMisses)
{
	FShaderCompiler Compiler(CacheFolder());
	const FShaderCompileOutput First = Compiler.Compile(Input());
	ASSERT_TRUE(First.bSucceeded) << FString::Join(First.Errors, TEXT("\n")).ToStdString();
	EXPECT_EQ(Compiler.GetCacheMisses(), 1);
	EXPECT_EQ(Compiler.GetCacheHits(), 0);

	const FShaderCompileOutput Second = Compiler.Compile(Input());
	EXPECT_EQ(Compiler.GetCacheHits(), 1);
	ExpectSameOutput(First, Second);

	// The cache is on disk: a new compiler finds the entry too.
	FShaderCompiler Another(CacheFolder());
	ExpectSameOutput(First, Another.Compile(Input()));
	EXPECT_EQ(Another.GetCacheHits(), 1);

	const FShaderCompileOutput OtherDefine = Compiler.Compile(Input(2));
	EXPECT_EQ(Compiler.GetCacheMisses(), 2) << "defines are part of the key";
	EXPECT_NE(OtherDefine.Spirv, First.Spirv);

	Write("Color.ush", "float4 Color() { return float4(0, 1, 0, 1); }\n");
	const FShaderCompileOutput Changed = Compiler.Compile(Input());
	EXPECT_EQ(Compiler.GetCacheMisses(), 3) << "an included file's text is part of the key";
	EXPECT_TRUE(Changed.bSucceeded);
	EXPECT_NE(Changed.Spirv, First.Spirv);

	// Failures are not stored: once the missing header exists, the shader compiles.
	Write("Late.usf", ShaderUsing("Late.ush"));
	FShaderCompileInput Late = Input();
	Late.VirtualSourcePath = Virtual("Late.usf");
	EXPECT_FALSE(Compiler.Compile(Late).bSucceeded);
	Write("Late.ush", "float4 Color() { return 1; }\n");
	EXPECT_TRUE(Compiler.Compile(Late).bSucceeded);
	EXPECT_EQ(Compiler.GetCacheHits(), 1);
}

TEST_F(ShaderCacheTest, DamagedCacheFilesAreRecompiledAndReplaced)
{
	FShaderCompiler Compiler(CacheFolder());
	const FShaderCompileOutput Original = Compiler.Compile(Input());
	ASSERT_TRUE(Original.bSucceeded);
	const std::filesystem::path CacheFile = OnlyCacheFile();
	const auto Size = std::filesystem::file_size(CacheFile);

	int32 ExpectedMisses = 1;
	auto ExpectRecompiled = [&](const char* Damage) {
		FLogCapture Capture;
		const FShaderCompileOutput Output = Compiler.Compile(Input());
		EXPECT_EQ(Compiler.GetCacheMisses(), ++ExpectedMisses) << Damage;
		ExpectSameOutput(Original, Output);
		EXPECT_TRUE(Capture.Contains(FString::Printf(TEXT("Ignoring the damaged shader cache file '%s'; the shader is compiled again"),
			CacheFile.string().c_str())))
			<< Damage;
		EXPECT_EQ(std::filesystem::file_size(CacheFile), Size) << Damage << ": the entry is written again";
	};

	std::filesystem::resize_file(CacheFile, Size / 2);
	ExpectRecompiled("truncated");

	{
		std::fstream File(CacheFile, std::ios::in | std::ios::out | std::ios::binary);
		File.seekp(static_cast<std::streamoff>(Size - 40));
		File.put('\x5a');
	}
	ExpectRecompiled("one byte changed");

	std::ofstream(CacheFile, std::ios::binary | std::ios::trunc) << "not a cache file";
	ExpectRecompiled("replaced by other data");

	const int32 Hits = Compiler.GetCacheHits();
	ExpectSameOutput(Original, Compiler.Compile(Input()));
	EXPECT_EQ(Compiler.GetCacheHits(), Hits + 1) << "the rewritten entry is used";
}

TEST_F(ShaderCacheTest, FailuresAreNotCachedAndAnEmptyFolderTurnsCachingOff)
{
	Write("Broken.usf", "[numthreads(1, 1, 1)] void MainCS() { nonsense }\n");
	FShaderCompiler Compiler(CacheFolder());
	FShaderCompileInput Broken(Virtual("Broken.usf"), TEXT("MainCS"), EShaderStage::Compute);
	EXPECT_FALSE(Compiler.Compile(Broken).bSucceeded);
	const FShaderCompileOutput Again = Compiler.Compile(Broken);
	EXPECT_FALSE(Again.bSucceeded);
	EXPECT_FALSE(Again.Errors.IsEmpty()) << "a failure is compiled again and reports its errors again";
	EXPECT_EQ(Compiler.GetCacheHits(), 0);
	EXPECT_FALSE(std::filesystem::exists(CacheFolder().ToStdString()));

	FShaderCompiler Uncached{FString()};
	EXPECT_TRUE(Uncached.Compile(Input()).bSucceeded);
	EXPECT_TRUE(Uncached.Compile(Input()).bSucceeded);
	EXPECT_EQ(Uncached.GetCacheHits() + Uncached.GetCacheMisses(), 0);
}

TEST_F(ShaderCacheTest, TheDefaultFolderComesFromTheEnvironment)
{
	const char* Saved = std::getenv("VORPEX_SHADER_CACHE");
	const std::string SavedValue = Saved ? Saved : "";
	setenv("VORPEX_SHADER_CACHE", CacheFolder().ToStdString().c_str(), 1);
	EXPECT_EQ(FShaderCompiler().GetCacheDirectory(), CacheFolder());
	setenv("VORPEX_SHADER_CACHE", "", 1);
	EXPECT_EQ(FShaderCompiler::GetDefaultCacheDirectory().ToStdString(),
		(std::filesystem::temp_directory_path() / "VorpexShaderCache").string());
	if (Saved)
	{
		setenv("VORPEX_SHADER_CACHE", SavedValue.c_str(), 1);
	}
	else
	{
		unsetenv("VORPEX_SHADER_CACHE");
	}
}

TEST_F(ShaderCacheTest, FourThreadsCompileAtOnce)
{
	// The expected outputs come from an uncached compiler on this thread.
	FShaderCompiler Reference{FString()};
	std::vector<FShaderCompileOutput> Expected;
	for (int32 Variant = 0; Variant < 4; ++Variant)
	{
		Expected.push_back(Reference.Compile(Input(static_cast<float>(Variant))));
		ASSERT_TRUE(Expected.back().bSucceeded);
	}

	FShaderCompiler Compiler(CacheFolder());
	std::vector<std::vector<FShaderCompileOutput>> Results(4);
	std::vector<std::thread> Threads;
	for (int32 Thread = 0; Thread < 4; ++Thread)
	{
		Threads.emplace_back([&, Thread] {
			// Every thread compiles every variant, starting at a different one, so the same input
			// is compiled on several threads at once as well as different inputs.
			for (int32 Step = 0; Step < 4; ++Step)
			{
				Results[Thread].push_back(Compiler.Compile(Input(static_cast<float>((Thread + Step) % 4))));
			}
		});
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	for (int32 Thread = 0; Thread < 4; ++Thread)
	{
		for (int32 Step = 0; Step < 4; ++Step)
		{
			ExpectSameOutput(Expected[(Thread + Step) % 4], Results[Thread][Step]);
		}
	}
	EXPECT_EQ(Compiler.GetCacheHits() + Compiler.GetCacheMisses(), 16);
	EXPECT_GE(Compiler.GetCacheMisses(), 4);
}
