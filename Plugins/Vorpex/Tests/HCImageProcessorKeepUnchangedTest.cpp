#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCSwizzle.h"
#include "HAL/IConsoleManager.h"
#include "HCImageProcessorTestSupport.h"

#include <random>

namespace
{
	constexpr int32 Size = 16;

	/** Sets vorpex.TextureEditing.KeepUnchanged for its lifetime, then turns it off again. */
	class FKeepUnchangedSetting
	{
	public:
		static void Set(bool bOn)
		{
			IConsoleVariable* Variable = IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.KeepUnchanged"));
			ASSERT_NE(Variable, nullptr);
			ASSERT_TRUE(Variable->Set(bOn ? TEXT("1") : TEXT("0")));
		}
		explicit FKeepUnchangedSetting(bool bOn) { Set(bOn); }
		~FKeepUnchangedSetting() { Set(false); }
	};

	/**
	 * A skin-like graph: two tinted layers lerped over a base through a mask and a swizzled
	 * copy of it, with inputs that random steps rewire.
	 */
	struct FLayerGraph
	{
		TArray<UHCImageTexture*> Sources;
		UHCImageTexture* Mask = nullptr;
		UHCSwizzle* SwizzledMask = nullptr;
		TArray<UHCColorize*> Tints;
		UHCBlendTexture* Lower = nullptr;
		UHCBlendTexture* Upper = nullptr;

		TArray<UHCImageProcessor*> Roots() const { return {Upper, Tints[0]}; }

		TArray<UHCImageProcessor*> All() const
		{
			TArray<UHCImageProcessor*> Nodes;
			for (UHCImageTexture* Source : Sources)
			{
				Nodes.Add(Source);
			}
			Nodes.Append({Mask, SwizzledMask, Tints[0], Tints[1], Lower, Upper});
			return Nodes;
		}
	};

	FColor RandomColor(std::mt19937& Random)
	{
		return FColor(uint8(Random()), uint8(Random()), uint8(Random()), uint8(Random()));
	}

	/** Uploads Texels into mip 0 of Texture by UpdateTextureRegions, which owns a copy until its command ran. */
	void UploadTexels(UTexture2D* Texture, const TArray<FColor>& Texels)
	{
		uint8* Data = new uint8[Texels.Num() * 4];
		std::memcpy(Data, Texels.GetData(), Texels.Num() * 4);
		FUpdateTextureRegion2D* Region = new FUpdateTextureRegion2D(0, 0, 0, 0, Size, Size);
		Texture->UpdateTextureRegions(0, 1, Region, Size * 4, 4, Data,
			[](uint8* SrcData, const FUpdateTextureRegion2D* Regions)
			{
				delete[] SrcData;
				delete Regions;
			});
	}
}

class HCImageProcessorKeepUnchangedTest : public HCImageProcessorTest
{
protected:
	FLayerGraph MakeGraph()
	{
		FLayerGraph Graph;
		for (int32 Index = 0; Index < 3; ++Index)
		{
			Graph.Sources.Add(MakeSource(Size, Size, [Index](int32 X, int32 Y) { return FColor(uint8(X * 15), uint8(Y * 15), uint8(Index * 80), 255); }));
		}
		Graph.Mask = MakeSource(Size, Size, [](int32 X, int32 Y) { return FColor(uint8(X * 16), uint8(255 - Y * 16), 0, 255); });
		Graph.SwizzledMask = Make<UHCSwizzle>(Size, Size);
		Graph.SwizzledMask->SetArrangement(EHCSwizzleChannel::SC_Green, EHCSwizzleChannel::SC_Green, EHCSwizzleChannel::SC_Green, EHCSwizzleChannel::SC_One);
		Graph.SwizzledMask->SetDependency(Graph.Mask, 0);
		for (int32 Index = 0; Index < 2; ++Index)
		{
			UHCColorize* Tint = Make<UHCColorize>(Size, Size);
			Tint->SetDependency(Graph.Sources[Index + 1], 0);
			Graph.Tints.Add(Tint);
		}
		Graph.Lower = MakeLerp(Graph.Sources[0], Graph.Tints[0], Graph.Mask);
		Graph.Upper = MakeLerp(Graph.Lower, Graph.Tints[1], Graph.SwizzledMask);
		return Graph;
	}

	UHCBlendTexture* MakeLerp(UHCImageProcessor* A, UHCImageProcessor* B, UHCImageProcessor* Mask)
	{
		UHCBlendTexture* Blend = Make<UHCBlendTexture>(Size, Size);
		Blend->SetDependency(A, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
		Blend->SetDependency(B, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
		Blend->SetDependency(Mask, int32(EHCBlendTextureDependencySlot::BTDS_MaskTexture));
		return Blend;
	}

	static void RunWithSetting(const FLayerGraph& Graph, bool bKeepUnchanged)
	{
		FKeepUnchangedSetting Setting(bKeepUnchanged);
		RunBatch(Graph.Roots());
	}
};

TEST_F(HCImageProcessorKeepUnchangedTest, RandomEditsGiveTheSameResultsWithTheSettingOnAndOff)
{
	// Two identical graphs take the same random steps; one runs its batches keeping unchanged
	// results, the other runs every pass. Every node's result must match byte for byte.
	FLayerGraph Kept = MakeGraph();
	FLayerGraph Full = MakeGraph();
	std::mt19937 Random(20261206);
	const auto ApplyToBoth = [&](auto&& Step) { Step(Kept); Step(Full); };
	RunWithSetting(Kept, true);
	RunWithSetting(Full, false);
	for (int32 Round = 0; Round < 40; ++Round)
	{
		const int32 Kind = int32(Random() % 5);
		if (Kind == 0)
		{
			const int32 Tint = int32(Random() % 2);
			const FColor Color = RandomColor(Random);
			ApplyToBoth([&](FLayerGraph& Graph) { Graph.Tints[Tint]->SetColor(Color); });
		}
		else if (Kind == 1)
		{
			const int32 Tint = int32(Random() % 2);
			const int32 Mask = int32(Random() % 2);
			ApplyToBoth([&](FLayerGraph& Graph) {
				Graph.Upper->SetDependency(Graph.Tints[Tint], int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
				Graph.Lower->SetDependency(Mask ? static_cast<UHCImageProcessor*>(Graph.SwizzledMask) : Graph.Mask,
					int32(EHCBlendTextureDependencySlot::BTDS_MaskTexture));
			});
		}
		else if (Kind == 2)
		{
			const int32 Source = int32(Random() % 3);
			TArray<FColor> Texels;
			for (int32 Index = 0; Index < Size * Size; ++Index)
			{
				Texels.Add(RandomColor(Random));
			}
			ApplyToBoth([&](FLayerGraph& Graph) { UploadTexels(Graph.Sources[Source]->GetInputTexture(), Texels); });
		}
		else if (Kind == 3)
		{
			// The same texture object set again: its resource is rebuilt from its own texels.
			const int32 Source = int32(Random() % 3);
			ApplyToBoth([&](FLayerGraph& Graph) { Graph.Sources[Source]->SetInputTexture(Graph.Sources[Source]->GetInputTexture()); });
		}
		// Kind 4 changes nothing: the kept graph runs no pass at all.
		RunWithSetting(Kept, true);
		RunWithSetting(Full, false);
		const TArray<UHCImageProcessor*> KeptNodes = Kept.All();
		const TArray<UHCImageProcessor*> FullNodes = Full.All();
		for (int32 Node = 0; Node < KeptNodes.Num(); ++Node)
		{
			ASSERT_TRUE(ReadResult(KeptNodes[Node]) == ReadResult(FullNodes[Node])) << "round " << Round << " (step " << Kind << "), node " << Node;
		}
	}
}

TEST_F(HCImageProcessorKeepUnchangedTest, AKeptResultIsNotDrawnAgainAndAChangeDrawsOnlyWhatDependsOnIt)
{
	// Results are overwritten behind the processors' backs; a node that runs its pass repairs
	// its own, a kept one leaves it alone.
	FLayerGraph Graph = MakeGraph();
	RunWithSetting(Graph, true);
	const TArray<FColor> Upper = ReadResult(Graph.Upper);
	const TArray<FColor> Tint = ReadResult(Graph.Tints[0]);
	UHCColorize* Marker = Make<UHCColorize>(Size, Size);
	Marker->SetDependency(MakeUniformSource(FColor(1, 2, 3, 4), Size, Size), 0);
	RunBatch({Marker});
	const auto Overwrite = [Marker](UHCImageProcessor* Processor) {
		FRHITexture* Source = Marker->GetResultRenderTarget()->GetRenderTargetResource()->GetRenderTargetTexture();
		FRHITexture* Target = Processor->GetResultRenderTarget()->GetRenderTargetResource()->GetRenderTargetTexture();
		ENQUEUE_RENDER_COMMAND(Overwrite)([Source, Target](FRHICommandListImmediate& RHICmdList) {
			RHICmdList.CopyTexture(Source, Target, FRHICopyTextureInfo());
			RHICmdList.SubmitCommandsAndFlushGPU();
		});
		FlushRenderingCommands();
	};
	Overwrite(Graph.Upper);
	Overwrite(Graph.Tints[0]);
	const TArray<FColor> Overwritten = ReadResult(Graph.Upper);
	ASSERT_NE(Overwritten, Upper);

	RunWithSetting(Graph, true);
	EXPECT_EQ(ReadResult(Graph.Upper), Overwritten) << "nothing changed, so nothing is drawn";

	// A new colour on the second tint redraws the blend above it but not the first tint.
	Graph.Tints[1]->SetColor(FColor(10, 200, 30, 255));
	RunWithSetting(Graph, true);
	EXPECT_NE(ReadResult(Graph.Upper), Overwritten);
	EXPECT_EQ(ReadResult(Graph.Tints[0]), Overwritten);

	// With the setting off, the protocol runs every pass again.
	RunWithSetting(Graph, false);
	EXPECT_EQ(ReadResult(Graph.Tints[0]), Tint);
}
