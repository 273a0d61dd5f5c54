// Texture editing of the bundled sample (Samples/Human: 25 processors at 4096 x 4096), as an
// editor runs it:
//   BeginEditing          texture model and controller made and initialised, start colours set
//                         (the editor's begin-editing work for textures), garbage collected after
//   FullBatch             one batch of every result node, waited for
//   PickerChange          one colour picked (a new position on the skin-tone or the lip-colour
//                         picker), applied and waited for, with vorpex.TextureEditing.KeepUnchanged
//                         on: only the processors above the changed colorize run
//   WriteResultPng        the skin result read back and written as PNG
//   StbWriteResultPng     the peer: the same read-back written by stb's encoder, which this
//                         program used before
// The goals on a 2-core CPU machine are 1 s, 2 s, a median of 300 ms and 0.4 s.

#include "AssetLoader.h"
#include "BenchmarkRatioReporter.h"
#include "Controllers/HCTextureEditingController.h"
#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/TextureRenderTarget2D.h"
#include "HAL/IConsoleManager.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "Models/HCTextureEditingModel.h"
#include "PngWriter.h"
#include "RHI.h"
#include "RenderingThread.h"
#include "ShaderCore.h"
#include "TextureResource.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <benchmark/benchmark.h>
#include <stb_image_write.h>

#include <cstdio>
#include <random>

namespace
{
	struct FSample
	{
		TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Skin;
		TStrongObjectPtr<UHCCharacterEditorConfigData> Config;
	};

	/** The sample's data, loaded once. */
	const FSample& GetSample()
	{
		static const FSample Sample = [] {
			FSample Loaded;
			Loaded.Skin.Reset(LoadObject<UHCCharacterEditorSkinCompositionData>(nullptr, TEXT("/Game/Editor/DA_SkinComposition")));
			Loaded.Config.Reset(LoadObject<UHCCharacterEditorConfigData>(nullptr, TEXT("/Game/Editor/DA_CharacterEditorConfig")));
			return Loaded;
		}();
		return Sample;
	}

	/** A texture model and its controller over the sample, as editing has them. */
	struct FEditing
	{
		TStrongObjectPtr<UHCTextureEditingModel> Model;
		TStrongObjectPtr<UHCTextureEditingController> Controller;

		FEditing()
			: Model(NewObject<UHCTextureEditingModel>())
			, Controller(NewObject<UHCTextureEditingController>())
		{
			const FSample& Sample = GetSample();
			Model->Initialize(Sample.Skin.Get(), nullptr);
			Controller->Initialize(Sample.Config.Get(), Sample.Skin.Get());
			Controller->SetModel(Model.Get());
			Controller->ResetToConfigValues();
		}

		TSet<UHCImageProcessor*> GetResults() const
		{
			TSet<UHCImageProcessor*> Results;
			for (UHCImageProcessor* Result : Model->GetResultNodes())
			{
				Results.Add(Result);
			}
			return Results;
		}
	};

	void SetKeepUnchanged(bool bOn)
	{
		IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.KeepUnchanged"))->Set(bOn ? TEXT("1") : TEXT("0"));
	}

	/** The first colour-picker handler of the skin composition called DisplayName. */
	const FHCCharacterEditorSkinCompositionHandler* FindPickerHandler(const TCHAR* DisplayName)
	{
		for (const FHCCharacterEditorSkinCompositionComponent& Component : GetSample().Skin->components)
		{
			for (const FHCCharacterEditorSkinCompositionHandler& Handler : Component.handlers)
			{
				if (Handler.type == TEXT("PixelPickerElement") && Handler.displayName == DisplayName)
				{
					return &Handler;
				}
			}
		}
		return nullptr;
	}

	UTextureRenderTarget2D* FindSkinResult(const FEditing& Editing)
	{
		for (const FHCTextureEditingComponent& Component : Editing.Model->GetImageProcessorComponents())
		{
			for (const FHCTextureEditingProcessorStack& Stack : Component.ImageProcessorStacks)
			{
				UTextureRenderTarget2D* Result = Stack.ImageProcessorNodes.IsEmpty() ? nullptr : Stack.ImageProcessorNodes.Last()->GetResultRenderTarget();
				if (Result && Result->SizeX == 4096)
				{
					return Result;
				}
			}
		}
		return nullptr;
	}

	void BeginEditing(benchmark::State& State)
	{
		for (auto _ : State)
		{
			{
				FEditing Editing;
				FlushRenderingCommands();
				benchmark::DoNotOptimize(Editing.Model.Get());
				State.PauseTiming();
			}
			CollectGarbage();
			FlushRenderingCommands();
			State.ResumeTiming();
		}
	}

	void FullBatch(benchmark::State& State)
	{
		SetKeepUnchanged(false);
		static FEditing Editing;
		UHCTextureEditingController::ProcessImageGameThread(Editing.GetResults());
		FlushRenderingCommands();
		for (auto _ : State)
		{
			UHCTextureEditingController::ProcessImageGameThread(Editing.GetResults());
			FlushRenderingCommands();
		}
	}

	/**
	 * Picker changes of the handler called DisplayName: the skin tone tints the bottom of both
	 * skin stacks, so 13 of the 25 processors run again; the lip colour only the top three of the head.
	 */
	void PickerChange(benchmark::State& State, const TCHAR* DisplayName)
	{
		static FEditing Editing;
		static std::mt19937 Random(7);
		SetKeepUnchanged(true);
		Editing.Controller->ApplyChanges();
		FlushRenderingCommands();
		const FHCCharacterEditorSkinCompositionHandler* Handler = FindPickerHandler(DisplayName);
		if (!Handler)
		{
			State.SkipWithError("the sample has no colour picker");
			return;
		}
		std::uniform_real_distribution<float> Coordinate(-0.9f, 0.9f);
		for (auto _ : State)
		{
			Editing.Controller->UpdateModel(nullptr, Handler, FVector2f(Coordinate(Random), Coordinate(Random)));
			Editing.Controller->ApplyChanges();
			FlushRenderingCommands();
		}
		SetKeepUnchanged(false);
	}

	UTextureRenderTarget2D* GetWrittenResult()
	{
		static FEditing Editing;
		static UTextureRenderTarget2D* Result = [] {
			UHCTextureEditingController::ProcessImageGameThread(Editing.GetResults());
			FlushRenderingCommands();
			return FindSkinResult(Editing);
		}();
		return Result;
	}

	const FString OutputFile = FPaths::Combine(FPaths::ConvertRelativePathToFull(TEXT(".")), TEXT("TextureEditingBenchmark.png"));

	void WriteResultPng(benchmark::State& State)
	{
		UTextureRenderTarget2D* Result = GetWrittenResult();
		for (auto _ : State)
		{
			if (!FPngWriter::WriteRenderTarget(Result, OutputFile))
			{
				State.SkipWithError("the result could not be written");
				return;
			}
		}
	}

	void StbWriteResultPng(benchmark::State& State)
	{
		UTextureRenderTarget2D* Result = GetWrittenResult();
		for (auto _ : State)
		{
			TArray<FColor> Pixels;
			Result->GameThread_GetRenderTargetResource()->ReadPixels(Pixels);
			TArray<uint8> Rgba;
			Rgba.SetNumUninitialized(Pixels.Num() * 4);
			for (int32 Index = 0; Index < Pixels.Num(); ++Index)
			{
				Rgba[Index * 4 + 0] = Pixels[Index].R;
				Rgba[Index * 4 + 1] = Pixels[Index].G;
				Rgba[Index * 4 + 2] = Pixels[Index].B;
				Rgba[Index * 4 + 3] = Pixels[Index].A;
			}
			stbi_write_png(*OutputFile, Result->SizeX, Result->SizeY, 4, Rgba.GetData(), Result->SizeX * 4);
		}
	}
}

BENCHMARK(BeginEditing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(FullBatch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(PickerChange, SkinTone, TEXT("Skin Tone"))->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(PickerChange, LipColour, TEXT("Lip Colour"))->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(20)->ReportAggregatesOnly(true);
BENCHMARK(WriteResultPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(StbWriteResultPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int ArgumentCount, char** Arguments)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), TEXT(VORPEX_PLUGIN_SHADER_DIR));
	FAssetLoader::Install();
	FPackageName::RegisterMountPoint(TEXT("/Game/"), TEXT(VORPEX_SAMPLE_CONTENT_DIR));
	std::printf("Device: %s (%s)\n", *GetRHIDeviceInfo().DeviceName, *GetRHIDeviceInfo().DeviceType);
	if (!GetSample().Skin || !GetSample().Config)
	{
		std::fprintf(stderr, "TextureEditingBenchmark: the sample's skin composition or editor configuration did not load\n");
		return 1;
	}

	FBenchmarkRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	Reporter.PrintRatios("StbWriteResultPng", {"WriteResultPng"});
	std::printf("Goals: BeginEditing at most 1 s, FullBatch at most 2 s, PickerChange median at most 300 ms, WriteResultPng at most 0.4 s\n");
	benchmark::Shutdown();
	FlushRenderingCommands();
	StopRenderingThread();
	return 0;
}
