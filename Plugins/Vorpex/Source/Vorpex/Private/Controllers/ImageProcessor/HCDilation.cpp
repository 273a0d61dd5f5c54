#include "Controllers/ImageProcessor/HCDilation.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

#include <algorithm>
#include <cmath>

DECLARE_STATS_GROUP(TEXT("VorpexDilationCS"), STATGROUP_VorpexDilationCS, STATCAT_Advanced);
DECLARE_CYCLE_STAT(TEXT("VorpexDilationCS Execute"), STAT_VorpexDilationCS_Execute, STATGROUP_VorpexDilationCS);
DECLARE_GPU_STAT(Stat_GPU_VorpexDilationCS);

class FHCDilationCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCDilationCS);
	SHADER_USE_PARAMETER_STRUCT(FHCDilationCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER_RDG_BUFFER_SRV(StructuredBuffer<int2>, CellBuffer)
		SHADER_PARAMETER(int32, Count)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }

	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
	{
		FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
		HCImageProcessorPasses::SetThreadGroupDefines(OutEnvironment);
	}
};

IMPLEMENT_GLOBAL_SHADER(FHCDilationCS, "/Plugin/Vorpex/HCDilation.usf", "MainCS", SF_Compute);

void UHCDilation::SetRadius(int32 InRadius)
{
	FScopeLock Lock(&CriticalSection);
	Radius = InRadius;
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
	FScopeLock Lock(&CriticalSection);
	check(SlotToDependency.Num() == 1);
	check(SlotToDependency[0]);
	ExecuteDependencies(Context);
}

void UHCDilation::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	SCOPE_CYCLE_COUNTER(STAT_VorpexDilationCS_Execute);
	RDG_GPU_STAT_SCOPE(GraphBuilder, Stat_GPU_VorpexDilationCS);
	RDG_EVENT_SCOPE(GraphBuilder, "VorpexDilationCS");
	FScopeLock Lock(&CriticalSection);

	const TShaderMapRef<FHCDilationCS> Shader = HCImageProcessorPasses::GetCheckedShader<FHCDilationCS>();
	FHCDilationCS::FParameters* Parameters = GraphBuilder.AllocParameters<FHCDilationCS::FParameters>();
	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, TEXT("VorpexDilationCS.TempTexture"), GetResultSize(), FClearValueBinding::White);
	FRDGTextureRef ResultTextureRef = FindOrRegisterResultTexture(GraphBuilder, TEXT("VorpexDilationCS.RT"));
	Parameters->OutputTexture = GraphBuilder.CreateUAV(TempTexture);
	Parameters->InputTexture = InputDependencyAsSRV(Context, 0);
	const TArray<FIntPoint> Cells = BuildCellList(Radius);
	static_assert(sizeof(FIntPoint) == 8, "the shader reads the offsets as int2");
	FRDGBufferRef CellBuffer = CreateStructuredBuffer(
		GraphBuilder, TEXT("VorpexDilationCS.CellBuffer"), sizeof(FIntPoint), Cells.Num(), Cells.GetData(), Cells.Num() * sizeof(FIntPoint));
	Parameters->CellBuffer = GraphBuilder.CreateSRV(CellBuffer);
	Parameters->Count = Cells.Num();
	HCImageProcessorPasses::AddComputeAndCopyPasses(
		GraphBuilder, TEXT("ExecuteVorpexDilationCS"), Shader, Parameters, GetResultGroupCount(), TempTexture, ResultTextureRef);
}
