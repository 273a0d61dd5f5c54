#include "Controllers/ImageProcessor/HCDilation.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

#include <algorithm>
#include <cmath>

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexDilationCS);

class FHCDilationCS : public FHCImageProcessorShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCDilationCS);
	SHADER_USE_PARAMETER_STRUCT(FHCDilationCS, FHCImageProcessorShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER_RDG_BUFFER_SRV(StructuredBuffer<int2>, CellBuffer)
		SHADER_PARAMETER(int32, Count)
	END_SHADER_PARAMETER_STRUCT()
};

IMPLEMENT_GLOBAL_SHADER(FHCDilationCS, "/Plugin/Vorpex/HCDilation.usf", "MainCS", SF_Compute);

void UHCDilation::SetRadius(int32 InRadius)
{
	FScopeLock Lock(&CriticalSection);
	Radius = InRadius;
	MarkParametersChanged();
}

TArray<FIntPoint> UHCDilation::BuildCellList(int32 Radius)
{
	TArray<FIntPoint> Cells;
	const float Limit = float(Radius);
	for (int32 X = -Radius; X <= Radius; ++X)
	{
		for (int32 Y = -Radius; Y <= Radius; ++Y)
		{
			const float Distance = std::sqrt(float(X) * float(X) + float(Y) * float(Y));
			if (X != 0 && Y != 0 && Distance < Limit)
			{
				Cells.Add(FIntPoint(X, Y));
			}
		}
	}
	auto Length = [](const FIntPoint& Cell) { return std::sqrt(float(Cell.X) * float(Cell.X) + float(Cell.Y) * float(Cell.Y)); };
	std::sort(Cells.begin(), Cells.end(), [&Length](const FIntPoint& A, const FIntPoint& B) { return Length(A) < Length(B); });
	return Cells;
}

void UHCDilation::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	ExecuteSingleInput(Context);
}

void UHCDilation::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	AddComputeAndCopyPasses<FHCDilationCS>(GraphBuilder, HC_IMAGE_PROCESSOR_PASS_NAMES(VorpexDilationCS),
		[&](FHCDilationCS::FParameters& Parameters)
		{
			Parameters.InputTexture = InputDependencyAsSRV(Context, 0);
			const TArray<FIntPoint> Cells = BuildCellList(Radius);
			static_assert(sizeof(FIntPoint) == 8, "the shader reads the offsets as int2");
			FRDGBufferRef CellBuffer = CreateStructuredBuffer(
				GraphBuilder, TEXT("VorpexDilationCS.CellBuffer"), sizeof(FIntPoint), Cells.Num(), Cells.GetData(), Cells.Num() * sizeof(FIntPoint));
			Parameters.CellBuffer = GraphBuilder.CreateSRV(CellBuffer);
			Parameters.Count = Cells.Num();
		});
}
