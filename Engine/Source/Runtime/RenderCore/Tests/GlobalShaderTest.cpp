#include "GlobalShaderCompiler.h"
#include "Logging/LogCapture.h"
#include "RHIStaticStates.h"
#include "RenderCommandFailure.h"
#include "RenderCoreTestEnvironment.h"
#include "RenderCoreTestShaders.h"
#include "RenderGraphBuilder.h"
#include "RenderGraphUtils.h"
#include "ShaderCore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{
	FGlobalShaderMap& ShaderMap()
	{
		return *GetGlobalShaderMap(GMaxRHIFeatureLevel);
	}

	int32 CompilesSoFar()
	{
		return GetGlobalShaderCompiler().GetCacheHits() + GetGlobalShaderCompiler().GetCacheMisses();
	}

	TArray<FString> ShaderErrors(const FLogCapture& Capture)
	{
		TArray<FString> Errors;
		for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
		{
			if (Entry.Category == FName(TEXT("LogShaders")) && Entry.Verbosity == ELogVerbosity::Error)
			{
				Errors.Add(Entry.Message);
			}
		}
		return Errors;
	}
}

using GlobalShaderTest = FRenderGraphTest;

TEST_F(GlobalShaderTest, TypesRegisterThemselvesWithTheirSourceEntryPointStageAndParameters)
{
	FShaderType* Type = FShaderType::GetShaderTypeByName(TEXT("FPatternCS"));
	ASSERT_EQ(Type, &FPatternCS::GetStaticType());
	EXPECT_STREQ(Type->GetName(), "FPatternCS");
	EXPECT_STREQ(Type->GetShaderFilename(), "/RenderCoreTest/Pattern.usf");
	EXPECT_STREQ(Type->GetFunctionName(), "MainCS");
	EXPECT_EQ(Type->GetFrequency(), SF_Compute);
	EXPECT_EQ(Type->GetRootParametersMetadata(), FPatternCS::FParameters::FTypeInfo::GetStructMetadata());

	EXPECT_EQ(FTriangleVS::GetStaticType().GetFrequency(), SF_Vertex);
	EXPECT_EQ(FTriangleVS::GetStaticType().GetRootParametersMetadata(), nullptr) << "a type without a parameter struct";
	EXPECT_EQ(FTrianglePS::GetStaticType().GetFrequency(), SF_Pixel);
	EXPECT_STREQ(FTrianglePS::GetStaticType().GetFunctionName(), "MainPS");

	EXPECT_EQ(FShaderType::GetShaderTypeByName(TEXT("fpatterncs")), nullptr) << "type names match with letter case, as C++ names do";
	EXPECT_EQ(FShaderType::GetShaderTypeByName(TEXT("FNoSuchCS")), nullptr);
	EXPECT_EQ(FShaderType::GetShaderTypeByName(nullptr), nullptr);
	const TArray<FShaderType*> Types = FShaderType::GetShaderTypes();
	for (FShaderType* Expected : {static_cast<FShaderType*>(&FPatternCS::GetStaticType()), static_cast<FShaderType*>(&FBrokenCS::GetStaticType()),
			 static_cast<FShaderType*>(&FBindingWrongSizeCS::GetStaticType())})
	{
		EXPECT_TRUE(Types.Contains(Expected)) << Expected->GetName();
	}
}

TEST_F(GlobalShaderTest, AShaderCompilesOnceAtItsFirstLookupHoweverManyThreadsAsk)
{
	ShaderMap().Empty();
	const int32 CompilesBefore = CompilesSoFar();

	constexpr int32 NumThreads = 8;
	std::atomic<int32> Waiting = NumThreads;
	std::vector<FShader*> Found(NumThreads, nullptr);
	std::vector<std::thread> Threads;
	for (int32 Index = 0; Index < NumThreads; ++Index)
	{
		Threads.emplace_back([&, Index] {
			--Waiting;
			while (Waiting.load() > 0)
			{
				std::this_thread::yield();
			}
			Found[Index] = TShaderMapRef<FPatternCS>(&ShaderMap()).GetShader();
		});
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	ASSERT_NE(Found[0], nullptr);
	for (FShader* Shader : Found)
	{
		EXPECT_EQ(Shader, Found[0]);
	}
	EXPECT_EQ(CompilesSoFar(), CompilesBefore + 1) << "one compile for eight lookups";

	TShaderMapRef<FPatternCS> Again(&ShaderMap());
	EXPECT_EQ(Again.GetShader(), Found[0]);
	EXPECT_EQ(CompilesSoFar(), CompilesBefore + 1) << "later lookups use the compiled shader";
	EXPECT_EQ(Again->GetType(), &FPatternCS::GetStaticType());
	EXPECT_TRUE(Again->GetResources().ContainsByPredicate([](const FShaderResourceBinding& Resource) { return Resource.Name == TEXT("Output"); }));
}

TEST_F(GlobalShaderTest, TheSecondCompileOfAShaderIsADiskCacheHit)
{
	EXPECT_EQ(GetGlobalShaderCompiler().GetCacheDirectory(), FString((RenderCoreTest::GetShaderFolder().parent_path() / "Cache").string()))
		<< "global shaders compile with the default cache, VORPEX_SHADER_CACHE";
	ShaderMap().Empty();
	ASSERT_TRUE(TShaderMapRef<FInvertCS>(&ShaderMap()).IsValid());
	const int32 Hits = GetGlobalShaderCompiler().GetCacheHits();
	const int32 Misses = GetGlobalShaderCompiler().GetCacheMisses();

	ShaderMap().Empty();
	ASSERT_TRUE(TShaderMapRef<FInvertCS>(&ShaderMap()).IsValid());
	EXPECT_EQ(GetGlobalShaderCompiler().GetCacheHits(), Hits + 1);
	EXPECT_EQ(GetGlobalShaderCompiler().GetCacheMisses(), Misses);
}

TEST_F(GlobalShaderTest, ACompileErrorIsLoggedOnceWithEveryCompilerMessageAndLeavesTheShaderUnavailable)
{
	ShaderMap().Empty();
	// What the compiler itself says about the file, uncached, to compare the log with.
	FShaderCompiler Reference{FString()};
	const FShaderCompileOutput Expected = Reference.Compile(FShaderCompileInput(FString(TEXT("/RenderCoreTest/Broken.usf")), FString(TEXT("MainCS")), EShaderStage::Compute));
	ASSERT_FALSE(Expected.bSucceeded);
	ASSERT_FALSE(Expected.Errors.IsEmpty());
	const FString Place = FString((RenderCoreTest::GetShaderFolder() / RenderCoreTest::BrokenShaderFile).string())
		+ FString::Printf(TEXT(":%d:"), RenderCoreTest::BrokenShaderErrorLine);

	FLogCapture Capture;
	TShaderMapRef<FBrokenCS> Broken(&ShaderMap());
	EXPECT_FALSE(Broken.IsValid());
	EXPECT_TRUE(Broken.IsNull());
	EXPECT_EQ(Broken.GetType(), &FBrokenCS::GetStaticType());
	TArray<FString> Errors = ShaderErrors(Capture);
	ASSERT_EQ(Errors.Num(), 1) << "one error for the failed compile";
	EXPECT_TRUE(Errors[0].StartsWith(TEXT("Global shader FBrokenCS failed to compile (/RenderCoreTest/Broken.usf, entry point MainCS):")))
		<< Errors[0].ToStdString();
	for (const FString& CompilerError : Expected.Errors)
	{
		EXPECT_TRUE(Errors[0].Contains(CompilerError, ESearchCase::CaseSensitive)) << CompilerError.ToStdString();
	}
	EXPECT_TRUE(Errors[0].Contains(Place, ESearchCase::CaseSensitive)) << "the file's real path and the line of the error: " << Errors[0].ToStdString();
	EXPECT_TRUE(Errors[0].Contains(TEXT("UndefinedValue"), ESearchCase::CaseSensitive)) << Errors[0].ToStdString();

	const int32 CompilesAfterFailure = CompilesSoFar();
	EXPECT_FALSE(TShaderMapRef<FBrokenCS>(&ShaderMap()).IsValid());
	EXPECT_EQ(ShaderErrors(Capture).Num(), 1) << "a later lookup neither compiles nor logs again";
	EXPECT_EQ(CompilesSoFar(), CompilesAfterFailure);

	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Broken.GetComputeShader(); }),
		"TShaderRef: The global shader FBrokenCS is not available: it failed to compile (see LogShaders) or its ShouldCompilePermutation left it out");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Broken->GetType(); }), "TShaderRef: The shader FBrokenCS is not available");

	// Dispatching it fails the render command, which the game thread sees at the flush.
	ENQUEUE_RENDER_COMMAND(DispatchBroken)([](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		FRDGTextureRef Output = GraphBuilder.CreateTexture(
			FRDGTextureDesc::Create2D(FIntPoint(4, 4), PF_B8G8R8A8, FClearValueBinding::None, TexCreate_UAV), TEXT("BrokenOutput"));
		FBrokenCS::FParameters* Parameters = GraphBuilder.AllocParameters<FBrokenCS::FParameters>();
		Parameters->Output = GraphBuilder.CreateUAV(Output);
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("Broken"), TShaderMapRef<FBrokenCS>(GetGlobalShaderMap(GMaxRHIFeatureLevel)),
			Parameters, FIntVector(1, 1, 1));
		GraphBuilder.Execute();
	});
	try
	{
		FlushRenderingCommands();
		ADD_FAILURE() << "the dispatch of a shader that failed to compile went through";
	}
	catch (const FRenderCommandFailure& Failure)
	{
		EXPECT_EQ(Failure.GetCommandName(), "DispatchBroken");
		EXPECT_EQ(Failure.GetMessage(), "FComputeShaderUtils::AddPass: 'Broken' dispatches FBrokenCS, which is not available: it failed to compile "
										"(see LogShaders) or its ShouldCompilePermutation left it out");
	}

	ShaderMap().Empty();
	EXPECT_FALSE(TShaderMapRef<FBrokenCS>(&ShaderMap()).IsValid());
	EXPECT_EQ(ShaderErrors(Capture).Num(), 2) << "emptying the map compiles it again";
}

TEST_F(GlobalShaderTest, AFailedShaderCompilesAgainOnceItsFolderIsMapped)
{
	ResetAllShaderSourceDirectoryMappings();
	AddShaderSourceDirectoryMapping(TEXT("/RenderCoreTest"), FString(RenderCoreTest::GetShaderFolder().string()));
	ShaderMap().Empty();

	FLogCapture Capture;
	EXPECT_FALSE(TShaderMapRef<FLateCS>(&ShaderMap()).IsValid());
	ASSERT_EQ(ShaderErrors(Capture).Num(), 1);
	EXPECT_TRUE(ShaderErrors(Capture)[0].Contains(TEXT("/RenderCoreTestLate/Late.usf"))) << ShaderErrors(Capture)[0].ToStdString();
	EXPECT_FALSE(TShaderMapRef<FLateCS>(&ShaderMap()).IsValid()) << "nothing changed: still unavailable";
	EXPECT_EQ(ShaderErrors(Capture).Num(), 1);

	AddShaderSourceDirectoryMapping(TEXT("/RenderCoreTestLate"), FString(RenderCoreTest::GetLateShaderFolder().string()));
	EXPECT_TRUE(TShaderMapRef<FLateCS>(&ShaderMap()).IsValid()) << "the source now resolves to a file, so the lookup compiles again";
	EXPECT_EQ(ShaderErrors(Capture).Num(), 1);
}

TEST_F(GlobalShaderTest, AShaderItsTypeLeavesOutIsUnavailableWithoutAnError)
{
	ShaderMap().Empty();
	FLogCapture Capture;
	const int32 CompilesBefore = CompilesSoFar();
	TShaderMapRef<FExcludedCS> Excluded(&ShaderMap());
	EXPECT_FALSE(Excluded.IsValid());
	EXPECT_EQ(CompilesSoFar(), CompilesBefore) << "not compiled at all";
	EXPECT_TRUE(ShaderErrors(Capture).IsEmpty());
	EXPECT_TRUE(TShaderMapRef<FPatternCS>(&ShaderMap()).IsValid()) << "the same file compiles for a type that wants it";
}

TEST_F(GlobalShaderTest, MapAndReferenceMisuseFailsChecks)
{
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([] { GetGlobalShaderMap(ERHIFeatureLevel::ES3_1); }),
		"GetGlobalShaderMap: Feature level 0 has no shaders here; only GMaxRHIFeatureLevel (1) does");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([] { TShaderMapRef<FPatternCS> Shader(nullptr); }), "TShaderMapRef<FPatternCS>: No shader map");
	// A fresh shader, whose RHI shader is not made yet.
	ShaderMap().Empty();
	TShaderMapRef<FPatternCS> Pattern(&ShaderMap());
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Pattern.GetVertexShader(); }), "TShaderRef: FPatternCS is a compute shader, asked for as a vertex shader");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Pattern.GetRHIShaderBase(SF_Pixel); }), "TShaderRef: FPatternCS is a compute shader, asked for as a pixel shader");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([] { TShaderRef<FPatternCS>().GetComputeShader(); }), "TShaderRef: The reference refers to no shader type");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Pattern.GetComputeShader(); }),
		"FShader: The RHI shader of FPatternCS is made on the rendering thread only");
}

/** Binding into batched parameters, on the game thread as the rendering thread (rendering not threaded). */
class ShaderBindingTest : public FRenderGraphTest
{
protected:
	void SetUp() override
	{
		FRenderGraphTest::SetUp();
		SetRenderingThreaded(false);
		FRHICommandListImmediate& RHICmdList = FRHICommandListImmediate::Get();
		Input = RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("BindingInput"), 1, 1, PF_B8G8R8A8).SetFlags(TexCreate_ShaderResource));
		Output = RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("BindingOutput"), 1, 1, PF_B8G8R8A8).SetFlags(TexCreate_UAV));
		OutputView = RHICmdList.CreateUnorderedAccessView(Output);
		Sampler = TStaticSamplerState<SF_Point>::GetRHI();
	}

	void TearDown() override
	{
		OutputView.SafeRelease();
		Output.SafeRelease();
		Input.SafeRelease();
		SetRenderingThreaded(true);
		FRenderGraphTest::TearDown();
	}

	template <typename ShaderType>
	void Fill(typename ShaderType::FParameters& Parameters)
	{
		Parameters.InputTexture = Input;
		Parameters.InputSampler = Sampler;
	}

	FTextureRHIRef Input;
	FTextureRHIRef Output;
	FUnorderedAccessViewRHIRef OutputView;
	FRHISamplerState* Sampler = nullptr;
};

TEST_F(ShaderBindingTest, MembersBindByNameToTheReflectedBindingsAndOffsets)
{
	TShaderMapRef<FBindingCS> Shader(&ShaderMap());
	ASSERT_TRUE(Shader.IsValid());
	FBindingCS::FParameters Parameters;
	Fill<FBindingCS>(Parameters);
	Parameters.OutputTexture = OutputView;
	Parameters.Tint = FVector4f(0.25f, 0.5f, 0.75f, 1.0f);
	Parameters.Strength = 3.5f;
	Parameters.Unused = FVector4f(9, 9, 9, 9);

	FRHIBatchedShaderParameters Batched;
	SetShaderParameters(Batched, Shader, Parameters);

	int32 NumResources = 0;
	for (const FShaderResourceBinding& Resource : Shader->GetResources())
	{
		if (Resource.Name == TEXT("$Global"))
		{
			ASSERT_EQ(Batched.LooseParameterData.Num(), int32(Resource.Size));
			for (const FShaderUniformMember& Member : Resource.Members)
			{
				const void* Value = Member.Name == TEXT("Tint") ? static_cast<const void*>(&Parameters.Tint) : &Parameters.Strength;
				EXPECT_EQ(std::memcmp(Batched.LooseParameterData.GetData() + Member.Offset, Value, Member.Size), 0) << Member.Name.ToStdString();
			}
			EXPECT_EQ(Resource.Members.Num(), 2) << "Unused is not in the shader, so it is skipped";
			continue;
		}
		++NumResources;
		const FRHIShaderParameterResource* Bound = Batched.Resources.FindByPredicate(
			[&Resource](const FRHIShaderParameterResource& Candidate) { return Candidate.Binding == Resource.Binding; });
		ASSERT_NE(Bound, nullptr) << Resource.Name.ToStdString();
		if (Resource.Name == TEXT("InputTexture"))
		{
			EXPECT_EQ(Bound->Type, FRHIShaderParameterResource::EType::Texture);
			EXPECT_EQ(Bound->Resource, Input.GetReference());
		}
		else if (Resource.Name == TEXT("InputSampler"))
		{
			EXPECT_EQ(Bound->Type, FRHIShaderParameterResource::EType::Sampler);
			EXPECT_EQ(Bound->Resource, Sampler);
		}
		else
		{
			EXPECT_EQ(Resource.Name, TEXT("OutputTexture"));
			EXPECT_EQ(Bound->Type, FRHIShaderParameterResource::EType::UnorderedAccessView);
			EXPECT_EQ(Bound->Resource, OutputView.GetReference());
		}
	}
	EXPECT_EQ(NumResources, 3);
	EXPECT_EQ(Batched.Resources.Num(), 3);
}

TEST_F(ShaderBindingTest, MismatchesBetweenStructAndShaderFailChecksThatNameBothAndBindNothing)
{
	FRHIBatchedShaderParameters Batched;
	Batched.SetTexture(999, Input);
	const auto ExpectUntouched = [&Batched] {
		EXPECT_EQ(Batched.Resources.Num(), 1);
		EXPECT_TRUE(Batched.LooseParameterData.IsEmpty());
	};

	FBindingMissingCS::FParameters Missing;
	Fill<FBindingMissingCS>(Missing);
	Missing.OutputTexture = OutputView;
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { SetShaderParameters(Batched, TShaderMapRef<FBindingMissingCS>(&ShaderMap()), Missing); }),
		"SetShaderParameters: FBindingMissingCS reads 'Strength', which FParameters has no member for");
	ExpectUntouched();

	FBindingWrongKindCS::FParameters WrongKind;
	Fill<FBindingWrongKindCS>(WrongKind);
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { SetShaderParameters(Batched, TShaderMapRef<FBindingWrongKindCS>(&ShaderMap()), WrongKind); }),
		"SetShaderParameters: Member 'OutputTexture' of FParameters is a SHADER_PARAMETER_SRV (Texture2D), but FBindingWrongKindCS declares "
		"'OutputTexture' as " + FString(LexToString(EShaderResourceKind::TextureUAV)).ToStdString());
	ExpectUntouched();

	FBindingWrongSizeCS::FParameters WrongSize;
	Fill<FBindingWrongSizeCS>(WrongSize);
	WrongSize.OutputTexture = OutputView;
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { SetShaderParameters(Batched, TShaderMapRef<FBindingWrongSizeCS>(&ShaderMap()), WrongSize); }),
		"SetShaderParameters: Member 'Tint' of FParameters has 12 bytes (float3), but FBindingWrongSizeCS reads 16 bytes there");
	ExpectUntouched();

	FBindingCS::FParameters NullOutput;
	Fill<FBindingCS>(NullOutput);
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { SetShaderParameters(Batched, TShaderMapRef<FBindingCS>(&ShaderMap()), NullOutput); }),
		"SetShaderParameters: Member 'OutputTexture' of FParameters is null, but FBindingCS reads it");
	ExpectUntouched();

	// A null resource the shader does not read is fine.
	FPatternCS::FParameters NoOutput;
	EXPECT_NE(RenderCoreTest::CheckMessageOf([&] { SetShaderParameters(Batched, TShaderMapRef<FPatternCS>(&ShaderMap()), NoOutput); }), "no failure")
		<< "Pattern reads Output, so leaving it null fails";
}

TEST_F(ShaderBindingTest, BindingOnACommandListNeedsTheShadersOwnRHIShader)
{
	TShaderMapRef<FBindingCS> Shader(&ShaderMap());
	TShaderMapRef<FPatternCS> Other(&ShaderMap());
	FBindingCS::FParameters Parameters;
	Fill<FBindingCS>(Parameters);
	Parameters.OutputTexture = OutputView;
	FRHICommandListImmediate& RHICmdList = FRHICommandListImmediate::Get();
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { SetShaderParameters(RHICmdList, Shader, Other.GetComputeShader(), Parameters); }),
		"SetShaderParameters: The RHI shader given is not the one of FBindingCS, whose bindings the parameters follow");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { SetShaderParameters(RHICmdList, Shader, static_cast<FRHIComputeShader*>(nullptr), Parameters); }),
		"SetShaderParameters: No RHI shader given for FBindingCS");
	EXPECT_EQ(Shader.GetComputeShader(), Shader.GetComputeShader()) << "the RHI shader is made once";
	EXPECT_EQ(Shader.GetComputeShader()->GetThreadGroupSize(), FIntVector(1, 1, 1));
	EXPECT_EQ(Other.GetComputeShader()->GetThreadGroupSize(), FIntVector(FPatternCS::GroupSizeX, int32(FPatternCS::GroupSizeY), 1))
		<< "THREADS_X and THREADS_Y came from ModifyCompilationEnvironment";
}
