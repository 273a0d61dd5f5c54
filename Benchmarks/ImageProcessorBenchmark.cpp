// One batch of a texture-editing graph at 4096 × 4096 against the same image operations
// computed with numpy on the CPU, in one run:
//   ProcessorBatch4096  image texture T and mask image M (resampled onto their results),
//                       colorize C of T, mask swizzle S of M (R, R, R, 1), lerp blend from T
//                       to C by S: one FHCImageProcessorBatch run, waited for
//   NumpyPeer4096       numpy_image_peer.py: the same arithmetic on float32 arrays, in place
//   Memcpy64MiB         memcpy of one 64 MiB image, for the memory bandwidth
//   Stage4096/*         parts of the batch: T alone, C of T, S of M; with the whole batch
//                       they give each kind of processor's own time (a compute pass over
//                       4096 × 4096 texels and the copy into its result)
// The program prints the batch's ratio to the numpy peer (the goal is at most 1) and the
// floor a batch cannot beat: the bytes its passes move divided by the memcpy bandwidth.

#include "BenchmarkRatioReporter.h"
#include "MemcpyPeer.h"
#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCImageProcessorBatch.h"
#include "Controllers/ImageProcessor/HCImageTexture.h"
#include "Controllers/ImageProcessor/HCSwizzle.h"
#include "CoreMinimal.h"
#include "Engine/Texture2D.h"
#include "RHI.h"
#include "RenderingThread.h"
#include "ShaderCore.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
	constexpr int32 Size = 4096;
	constexpr int64 ImageBytes = int64(Size) * Size * 4;
	constexpr int32 PeerIterations = 5;

	/**
	 * Bytes the batch's passes move, in images: each pass reads its inputs and writes its
	 * transient texture, and each copy reads that and writes the result. Image textures read
	 * 1, colorize 1, swizzle 1, the blend 3; five passes write 1 and copy 2.
	 */
	constexpr int64 BatchImagesMoved = (1 + 1 + 1 + 1 + 3) + 5 * (1 + 2);

	UTexture2D* MakeTexture(uint8 Seed)
	{
		UTexture2D* Texture = UTexture2D::CreateTransient(Size, Size);
		Texture->SRGB = false;
		FByteBulkData& Bulk = Texture->GetPlatformData()->Mips[0].BulkData;
		uint8* Texels = static_cast<uint8*>(Bulk.Lock(LOCK_READ_WRITE));
		for (int64 Index = 0; Index < ImageBytes; ++Index)
		{
			Texels[Index] = uint8(Index * 131 + Seed);
		}
		Bulk.Unlock();
		return Texture;
	}

	/** The worked example of a skin stack: a tint of the skin inside a mask. */
	struct FGraph
	{
		TArray<TStrongObjectPtr<UObject>> Kept;
		UHCImageTexture* Skin = nullptr;
		UHCImageTexture* MaskImage = nullptr;
		UHCColorize* Tint = nullptr;
		UHCSwizzle* Mask = nullptr;
		UHCBlendTexture* Result = nullptr;

		FGraph()
		{
			auto Keep = [this](auto* Object) {
				Kept.Add(TStrongObjectPtr<UObject>(Object));
				return Object;
			};
			Skin = Keep(NewObject<UHCImageTexture>());
			Skin->SetInputTexture(Keep(MakeTexture(1)));
			MaskImage = Keep(NewObject<UHCImageTexture>());
			MaskImage->SetInputTexture(Keep(MakeTexture(2)));
			Tint = Keep(NewObject<UHCColorize>());
			Tint->SetDependency(Skin, 0);
			Tint->SetColor(FColor(255, 128, 64, 255));
			Mask = Keep(NewObject<UHCSwizzle>());
			Mask->SetDependency(MaskImage, 0);
			Mask->SetArrangement(EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_One);
			Result = Keep(NewObject<UHCBlendTexture>());
			Result->SetDependency(Skin, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
			Result->SetDependency(Tint, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
			Result->SetDependency(Mask, int32(EHCBlendTextureDependencySlot::BTDS_MaskTexture));
			for (UHCImageProcessor* Processor : TArray<UHCImageProcessor*>{Skin, MaskImage, Tint, Mask, Result})
			{
				Processor->Initialize(Size, Size);
			}
		}
	};

	FGraph& GetGraph()
	{
		static FGraph Graph;
		return Graph;
	}

	/** Batches of Target and what it depends on, waited for. */
	void RunBatches(benchmark::State& State, UHCImageProcessor* Target)
	{
		// The first batch uploads the source textures and compiles the shaders.
		FHCImageProcessorBatch::Run({Target});
		FlushRenderingCommands();
		for (auto _ : State)
		{
			FHCImageProcessorBatch::Run({Target});
			FlushRenderingCommands();
		}
	}

	void ProcessorBatch4096(benchmark::State& State)
	{
		RunBatches(State, GetGraph().Result);
		State.SetBytesProcessed(State.iterations() * ImageBytes);
	}

	template <typename ProcessorType>
	void Stage4096(benchmark::State& State, ProcessorType* FGraph::*Target)
	{
		RunBatches(State, GetGraph().*Target);
	}

	/** Each kind of processor's own time, from the stages and the whole batch: a line of the report. */
	void PrintPassTimes(const FBenchmarkRatioReporter& Reporter)
	{
		const double Image = Reporter.WallSeconds("Stage4096/ImageTexture");
		const double Tinted = Reporter.WallSeconds("Stage4096/Colorize");
		const double Masked = Reporter.WallSeconds("Stage4096/Swizzle");
		const double Batch = Reporter.WallSeconds("ProcessorBatch4096");
		if (Image < 0 || Tinted < 0 || Masked < 0 || Batch < 0)
		{
			return;
		}
		const double Colorize = Tinted - Image;
		const double Swizzle = Masked - Image;
		const double Blend = Batch - 2 * Image - Colorize - Swizzle;
		std::printf("Pass times (ms, one processor at 4096 x 4096: its compute pass and the copy into its result): image texture %.1f, "
					"colorize %.1f, swizzle %.1f, blend %.1f\n",
			1e3 * Image, 1e3 * Colorize, 1e3 * Swizzle, 1e3 * Blend);
	}

	void NumpyPeer4096(benchmark::State& State)
	{
		// Debian's interpreter, where its numpy package lives.
		const std::string Command = "/usr/bin/python3 " VORPEX_BENCHMARK_DIR "/numpy_image_peer.py --size " + std::to_string(Size)
			+ " --iterations " + std::to_string(PeerIterations);
		FILE* Peer = popen(Command.c_str(), "r");
		std::vector<double> Seconds;
		double Value = 0;
		while (Peer && std::fscanf(Peer, "%lf", &Value) == 1)
		{
			Seconds.push_back(Value);
		}
		if (!Peer || pclose(Peer) != 0 || Seconds.size() != size_t(PeerIterations))
		{
			State.SkipWithError("the numpy peer did not run (is python3-numpy installed?)");
			return;
		}
		size_t Next = 0;
		for (auto _ : State)
		{
			State.SetIterationTime(Seconds[Next++]);
		}
		State.SetBytesProcessed(State.iterations() * ImageBytes);
	}
}

BENCHMARK(NumpyPeer4096)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(PeerIterations);
BENCHMARK(ProcessorBatch4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Stage4096, ImageTexture, &FGraph::Skin)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Stage4096, Colorize, &FGraph::Tint)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Stage4096, Swizzle, &FGraph::Mask)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int ArgumentCount, char** Arguments)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), TEXT(VORPEX_PLUGIN_SHADER_DIR));
	std::printf("Device: %s (%s)\n", *GetRHIDeviceInfo().DeviceName, *GetRHIDeviceInfo().DeviceType);
	std::printf("A batch moves %lld images of 64 MiB (reads and writes); a memcpy of one image moves 2\n", static_cast<long long>(BatchImagesMoved));

	RegisterMemcpyPeer("Memcpy64MiB", ImageBytes);
	FBenchmarkRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	Reporter.PrintRatios("NumpyPeer4096", {"ProcessorBatch4096"});
	Reporter.PrintRatios("Memcpy64MiB", {"ProcessorBatch4096"});
	std::printf("Goal: ProcessorBatch4096 / NumpyPeer4096 at most 1.00; floor: ProcessorBatch4096 / Memcpy64MiB at least %.1f\n",
		double(BatchImagesMoved) / 2.0);
	PrintPassTimes(Reporter);
	benchmark::Shutdown();
	// The benchmarks' graphs have finished; the render thread stops before main returns.
	StopRenderingThread();
	return 0;
}
