// The GPU runtime at the size texture editing works at (4096 × 4096, 8-bit BGRA, 64 MiB):
//   ComputeAndCopy4096  one render graph: a compute pass tinting an input into a transient
//                       texture, then a copy pass into a render target, executed and waited for
//   ReadBack4096        reading a 4096 × 4096 texture back into CPU memory
//   Memcpy64MiB         memcpy of the same 64 MiB between two CPU buffers (the peer: the floor
//                       any path that moves these bytes through memory has to pay)
// Each reports bytes per second of one 64 MiB image; at the end the program prints the ratios
// to the memcpy peer. On lavapipe the GPU is the CPU, so the ratios show the runtime's
// overhead over raw memory traffic.

#include "BenchmarkRatioReporter.h"
#include "MemcpyPeer.h"
#include "CoreMinimal.h"
#include "GlobalShader.h"
#include "RHI.h"
#include "RHICommandList.h"
#include "RenderGraphBuilder.h"
#include "RenderGraphUtils.h"
#include "RenderTargetPool.h"
#include "RenderingThread.h"
#include "ShaderCore.h"
#include "ShaderParameterStruct.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
	constexpr int32 Size = 4096;
	constexpr int64 ImageBytes = int64(Size) * Size * 4;

	class FBenchmarkTintCS : public FGlobalShader
	{
	public:
		DECLARE_GLOBAL_SHADER(FBenchmarkTintCS);
		SHADER_USE_PARAMETER_STRUCT(FBenchmarkTintCS, FGlobalShader);

		BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
			SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
			SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
			SHADER_PARAMETER(FVector4f, Color)
		END_SHADER_PARAMETER_STRUCT()

		static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters&) { return true; }

		static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
		{
			FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
			OutEnvironment.SetDefine(TEXT("THREADS_X"), 8);
			OutEnvironment.SetDefine(TEXT("THREADS_Y"), 8);
			OutEnvironment.SetDefine(TEXT("THREADS_Z"), 1);
		}
	};

	IMPLEMENT_GLOBAL_SHADER(FBenchmarkTintCS, "/Benchmark/BenchmarkTint.usf", "MainCS", SF_Compute);

	/** The textures every GPU benchmark uses, made once. */
	struct FGpuImages
	{
		FTextureRHIRef Input;
		FTextureRHIRef Result;
	};

	FGpuImages& GetImages()
	{
		static FGpuImages Images = [] {
			FGpuImages Made;
			ENQUEUE_RENDER_COMMAND(MakeBenchmarkImages)([&Made](FRHICommandListImmediate& RHICmdList) {
				Made.Input = RHICmdList.CreateTexture(
					FRHITextureCreateDesc::Create2D(TEXT("Benchmark.Input"), Size, Size, PF_B8G8R8A8).SetFlags(TexCreate_ShaderResource));
				Made.Result = RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("Benchmark.Result"), Size, Size, PF_B8G8R8A8)
														   .SetFlags(TexCreate_ShaderResource | TexCreate_RenderTargetable));
				std::vector<uint8> Texels(ImageBytes);
				for (size_t Index = 0; Index < Texels.size(); ++Index)
				{
					Texels[Index] = uint8(Index * 31);
				}
				RHICmdList.UpdateTexture2D(Made.Input, 0, FUpdateTextureRegion2D(0, 0, 0, 0, Size, Size), Size * 4, Texels.data());
			});
			FlushRenderingCommands();
			return Made;
		}();
		return Images;
	}

	void TintAndCopy(FGpuImages& Images)
	{
		ENQUEUE_RENDER_COMMAND(TintAndCopy)([&Images](FRHICommandListImmediate& RHICmdList) {
			FRDGBuilder GraphBuilder(RHICmdList);
			TShaderMapRef<FBenchmarkTintCS> Shader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
			FRDGTextureRef Input = GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Images.Input, TEXT("Benchmark.Input")));
			FRDGTextureRef Result = GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Images.Result, TEXT("Benchmark.Result")));
			FRDGTextureRef Temp = GraphBuilder.CreateTexture(FRDGTextureDesc::Create2D(FIntPoint(Size, Size), PF_B8G8R8A8, FClearValueBinding::White,
																 TexCreate_ShaderResource | TexCreate_UAV | TexCreate_RenderTargetable),
				TEXT("Benchmark.TempTexture"));
			FBenchmarkTintCS::FParameters* Parameters = GraphBuilder.AllocParameters<FBenchmarkTintCS::FParameters>();
			Parameters->InputTexture = GraphBuilder.CreateSRV(FRDGTextureSRVDesc(Input));
			Parameters->OutputTexture = GraphBuilder.CreateUAV(Temp);
			Parameters->Color = FVector4f(1.0f, 0.5f, 0.25f, 1.0f);
			FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("BenchmarkTint"), ERDGPassFlags::Compute, Shader, Parameters,
				FIntVector((Size + 7) / 8, (Size + 7) / 8, 1));
			AddCopyTexturePass(GraphBuilder, Temp, Result, FRHICopyTextureInfo());
			GraphBuilder.Execute();
		});
		FlushRenderingCommands();
	}

	void ComputeAndCopy4096(benchmark::State& State)
	{
		FGpuImages& Images = GetImages();
		// Untimed: the first graph compiles the shader and makes the pipeline and the pooled texture.
		TintAndCopy(Images);
		for (auto _ : State)
		{
			TintAndCopy(Images);
		}
		State.SetBytesProcessed(State.iterations() * ImageBytes);
	}

	void ReadBack4096(benchmark::State& State)
	{
		FGpuImages& Images = GetImages();
		TArray<uint8> Texels;
		auto ReadBack = [&Images, &Texels] {
			ENQUEUE_RENDER_COMMAND(ReadBack)([&Images, &Texels](FRHICommandListImmediate& RHICmdList) { RHICmdList.ReadTexture(Images.Input, Texels); });
			FlushRenderingCommands();
		};
		// Untimed: the first read-back makes the pooled staging memory and the output array.
		ReadBack();
		for (auto _ : State)
		{
			ReadBack();
			benchmark::DoNotOptimize(Texels.GetData());
		}
		State.SetBytesProcessed(State.iterations() * ImageBytes);
	}
}

BENCHMARK(ComputeAndCopy4096)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadBack4096)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int ArgumentCount, char** Arguments)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}
	AddShaderSourceDirectoryMapping(TEXT("/Benchmark"), TEXT(VORPEX_BENCHMARK_SHADER_DIR));
	std::printf("Device: %s (%s)\n", *GetRHIDeviceInfo().DeviceName, *GetRHIDeviceInfo().DeviceType);

	RegisterMemcpyPeer("Memcpy64MiB", ImageBytes);
	FBenchmarkRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	Reporter.PrintRatios("Memcpy64MiB", {"ComputeAndCopy4096", "ReadBack4096"});
	benchmark::Shutdown();
	// The benchmarks' graphs have finished; the render thread stops before main returns.
	StopRenderingThread();
	return 0;
}
