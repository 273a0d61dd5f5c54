// The preview renderer on the bundled sample's body, as `vorpex compose` draws its picture:
//   PreviewBody512x1024     one 512 × 1024 picture of the textured body (drawn at 2× and
//                           box-filtered), from gathering the skinned vertices to the read-back
//   CpuSkinningPeer         the peer: the CPU skinning of the body alone, the one part of the
//                           preview that any renderer of the posed body has to do
// The goal on a 2-core CPU machine (lavapipe) is 0.5 s per picture.

#include "BenchmarkRatioReporter.h"
#include "PreviewRenderer.h"
#include "PreviewSampleBody.h"
#include "RHI.h"
#include "RenderingThread.h"
#include "ShaderCore.h"
#include "SkeletalRenderPublic.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace
{
	UWorld* GWorld = nullptr;
	USkeletalMeshComponent* GBody = nullptr;

	void PreviewBody512x1024(benchmark::State& State)
	{
		const FPreviewView View = FPreviewView::FrameBounds(GBody->CalcBounds(GBody->GetComponentTransform()), 0.0f, 512, 1024);
		TArray<FColor> Pixels;
		FString Error;
		for (auto _ : State)
		{
			if (!FPreviewRenderer::RenderToImage(*GWorld, View, Pixels, Error))
			{
				State.SkipWithError(*Error);
				return;
			}
		}
	}

	void CpuSkinningPeer(benchmark::State& State)
	{
		TArray<FFinalSkinVertex> Vertices;
		for (auto _ : State)
		{
			GBody->GetCPUSkinnedVertices(Vertices, 0);
			benchmark::DoNotOptimize(Vertices.GetData());
		}
	}
}

BENCHMARK(PreviewBody512x1024)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(CpuSkinningPeer)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int ArgumentCount, char** Arguments)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}
	AddShaderSourceDirectoryMapping(TEXT("/Engine"), TEXT(VORPEX_ENGINE_SHADER_DIR));
	GWorld = UWorld::CreateWorld(EWorldType::EditorPreview);
	GBody = PreviewSampleBody::Spawn(*GWorld, TEXT(VORPEX_SAMPLE_CONTENT_DIR));
	if (!GBody)
	{
		std::fprintf(stderr, "PreviewRendererBenchmark: the sample body or its textures did not load\n");
		return 1;
	}
	std::printf("Device: %s (%s)\n", *GetRHIDeviceInfo().DeviceName, *GetRHIDeviceInfo().DeviceType);
	// The first picture compiles the shaders; the figures are of the pictures after it.
	TArray<FColor> Pixels;
	FString Error;
	if (!FPreviewRenderer::RenderToImage(*GWorld, FPreviewView::FrameBounds(GBody->CalcBounds(GBody->GetComponentTransform()), 0.0f, 64, 128), Pixels, Error))
	{
		std::fprintf(stderr, "PreviewRendererBenchmark: %s\n", *Error);
		return 1;
	}

	FBenchmarkRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	Reporter.PrintRatios("CpuSkinningPeer", {"PreviewBody512x1024"});
	benchmark::Shutdown();
	FlushRenderingCommands();
	GWorld->DestroyWorld();
	StopRenderingThread();
	return 0;
}
