// The texture-editing model: graphs built from skin compositions loaded as content, node by
// node; binding keys; and configurations the graphs cannot be built from.

#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCImageTexture.h"
#include "Controllers/ImageProcessor/HCSwizzle.h"
#include "HAL/IConsoleManager.h"
#include "HCTextureEditingTestSupport.h"
#include "Models/HCTextureEditingBindingKey.h"
#include "Models/HCTextureEditingModel.h"

namespace
{
	using EKey = EHCTextureEditingMaterialKey;
	using ESlot = EHCBlendTextureDependencySlot;

	const TArray<EHCSwizzleChannel> MaskArrangement = {
		EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_One};
}

class HCTextureEditingModelTest : public HCTextureEditingTest
{
protected:
	/** A model built from the skin composition Json, saved as Data/Skin.json with the standard images. */
	UHCTextureEditingModel* Build(const FString& Json)
	{
		WriteUniformPng(TEXT("Textures/T_Skin.png"), FColor(200, 150, 100, 255));
		WriteUniformPng(TEXT("Textures/T_Other.png"), FColor(10, 20, 30, 255));
		WriteUniformPng(TEXT("Textures/T_Region_M.png"), FColor(255, 0, 0, 255));
		Skin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Skin.json"), Json);
		UHCTextureEditingModel* Model = NewObject<UHCTextureEditingModel>();
		Kept.Add(TStrongObjectPtr<UObject>(Model));
		Model->Initialize(Skin, nullptr);
		return Model;
	}

	UTexture2D* Texture(const TCHAR* Name) const
	{
		return LoadObject<UTexture2D>(nullptr, *FString::Printf(TEXT("%sTextures/%s.%s"), *MountPoint, Name, Name));
	}

	UHCCharacterEditorSkinCompositionData* Skin = nullptr;
};

TEST_F(HCTextureEditingModelTest, WorkedExampleBuildsTheMaskedColorizeNodeByNode)
{
	UHCTextureEditingModel* Model = Build(TEXT(R"({"components": [{"meshes": ["Body"], "processorStacks": [
		{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Region_M.png"]}]},
		{"materialKey": "_BaseColorMap", "processors": [
			{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Colorize", "intParams": [0]}]}]}]})"));

	EXPECT_TRUE(Model->IsMarkedDirty());
	EXPECT_EQ(Model->GetDataDirectory(), MountPoint + TEXT("Data"));
	ASSERT_EQ(Model->GetImageProcessorComponents().Num(), 1);
	const TArray<FHCTextureEditingProcessorStack>& Stacks = Model->GetImageProcessorComponents()[0].ImageProcessorStacks;
	ASSERT_EQ(Stacks.Num(), 2);

	ASSERT_EQ(Stacks[0].ImageProcessorNodes.Num(), 1);
	UHCImageTexture* M = Cast<UHCImageTexture>(Stacks[0].ImageProcessorNodes[0].Get());
	ASSERT_NE(M, nullptr);
	// ".." leaves the data folder: the mask is the texture asset next to it.
	EXPECT_EQ(InputTextureOf(M), Texture(TEXT("T_Region_M")));
	ASSERT_EQ(Stacks[0].InterfaceProcessors.Num(), 1);
	EXPECT_EQ(Stacks[0].InterfaceProcessors[0], nullptr);

	const TArray<TObjectPtr<UHCImageProcessor>>& Nodes = Stacks[1].ImageProcessorNodes;
	ASSERT_EQ(Nodes.Num(), 4);
	UHCImageTexture* T = Cast<UHCImageTexture>(Nodes[0].Get());
	UHCColorize* C = Cast<UHCColorize>(Nodes[1].Get());
	UHCSwizzle* S = Cast<UHCSwizzle>(Nodes[2].Get());
	UHCBlendTexture* L = Cast<UHCBlendTexture>(Nodes[3].Get());
	ASSERT_TRUE(T && C && S && L);
	EXPECT_EQ(InputTextureOf(T), Texture(TEXT("T_Skin")));
	EXPECT_EQ(InputCount(C), 1);
	EXPECT_EQ(InputOf(C, 0), T);
	EXPECT_EQ(InputCount(S), 1);
	EXPECT_EQ(InputOf(S, 0), M);
	EXPECT_EQ(S->GetArrangement(), MaskArrangement);
	EXPECT_EQ(InputCount(L), 3);
	EXPECT_EQ(InputOf(L, ESlot::BTDS_InputTexture_A), T);
	EXPECT_EQ(InputOf(L, ESlot::BTDS_InputTexture_B), C);
	EXPECT_EQ(InputOf(L, ESlot::BTDS_MaskTexture), S);
	EXPECT_EQ(L->GetOperation(), EHCBlendTextureOperation::BTO_Lerp);
	EXPECT_EQ(Stacks[1].InterfaceProcessors, (TArray<TObjectPtr<UHCImageProcessor>>{nullptr, C}));

	EXPECT_EQ(Model->GetResultNodes().Num(), 1);
	EXPECT_TRUE(Model->GetResultNodes().Contains(L));
	for (const FHCTextureEditingProcessorStack& Stack : Stacks)
	{
		for (UHCImageProcessor* Node : Stack.ImageProcessorNodes)
		{
			ASSERT_NE(Node->GetResultRenderTarget(), nullptr);
			EXPECT_EQ(Node->GetResultRenderTarget()->SizeX, 4096);
			EXPECT_EQ(Node->GetResultRenderTarget()->SizeY, 4096);
		}
	}
	ASSERT_TRUE(Model->SupportsMesh(FHCTextureEditingBindingKey(TEXT("body"), EKey::MK_Albedo)));
	EXPECT_EQ(Model->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Body"), EKey::MK_Albedo)), L->GetResultRenderTarget());
	EXPECT_FALSE(Model->SupportsMesh(FHCTextureEditingBindingKey(TEXT("Body"), EKey::MK_Normal)));
	EXPECT_FALSE(Model->SupportsMesh(FHCTextureEditingBindingKey(TEXT("Head"), EKey::MK_Albedo)));
	EXPECT_CHECK_FAILS(Model->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Head"), EKey::MK_Albedo)), "Value != nullptr");
}

TEST_F(HCTextureEditingModelTest, AHostMayAskForSmallerResults)
{
	IConsoleVariable* ResultSize = IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.ResultSize"));
	ASSERT_NE(ResultSize, nullptr);
	const FString Json = TEXT(R"({"components": [{"meshes": ["Body"], "processorStacks": [
		{"materialKey": "_BaseColorMap", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]}]}]}]})");
	const auto BuiltSize = [&](const TCHAR* Size)
	{
		ResultSize->Set(Size);
		const UHCTextureEditingModel* Model = Build(Json);
		return Model->GetImageProcessorComponents()[0].ImageProcessorStacks[0].ImageProcessorNodes[0]->GetResultRenderTarget()->SizeX;
	};
	EXPECT_EQ(BuiltSize(TEXT("256")), 256);
	// A size no texture can have is brought to the nearest one.
	EXPECT_EQ(BuiltSize(TEXT("-5")), 1);
	EXPECT_EQ(BuiltSize(TEXT("4096")), 4096);
}

TEST_F(HCTextureEditingModelTest, ChainRulesOfTheProcessorKinds)
{
	UHCTextureEditingModel* Model = Build(TEXT(R"({"components": [
		{"meshes": ["Head"], "processorStacks": [
			{"materialKey": "_NormalMap", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
				{"type": "Swizzle", "stringParams": ["armTOmads"]},
				{"type": "Colorize"},
				{"type": "ImageTexture", "stringParams": ["../Textures/T_Other.png"]}]}]},
		{"meshes": ["Arm", "Leg"], "processorStacks": [
			{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Region_M.png"]}]},
			{"materialKey": "_BaseColorMap", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"], "intParams": [-1, 0]},
				{"type": "Swizzle", "blendMode": "LinearDodge", "intParams": [3, 2, 1, 9]},
				{"type": "Swizzle", "blendMode": "Normal", "intParams": [5, 0, 4, 9]}]}]},
		{"meshes": ["Torso"], "processorStacks": [
			{"materialKey": "_BaseColorMap", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]}]},
			{"materialKey": "_BaseColorMap", "processors": [{"type": "ImageTexture", "intParams": [0, 0]}]}]}]})"));
	ASSERT_EQ(Model->GetImageProcessorComponents().Num(), 3);

	// A colorize without mask becomes the chain; an image texture without mask then replaces
	// the chain; "ArmToMads" adds nothing, so the colorize is interface entry 1, not 2.
	{
		const FHCTextureEditingProcessorStack& Stack = Model->GetImageProcessorComponents()[0].ImageProcessorStacks[0];
		ASSERT_EQ(Stack.ImageProcessorNodes.Num(), 3);
		UHCImageTexture* A = Cast<UHCImageTexture>(Stack.ImageProcessorNodes[0].Get());
		UHCColorize* C = Cast<UHCColorize>(Stack.ImageProcessorNodes[1].Get());
		UHCImageTexture* B = Cast<UHCImageTexture>(Stack.ImageProcessorNodes[2].Get());
		ASSERT_TRUE(A && C && B);
		EXPECT_EQ(InputOf(C, 0), A);
		EXPECT_EQ(InputTextureOf(B), Texture(TEXT("T_Other")));
		EXPECT_EQ(Stack.InterfaceProcessors, (TArray<TObjectPtr<UHCImageProcessor>>{nullptr, C, nullptr}));
		EXPECT_TRUE(Model->GetResultNodes().Contains(B));
		EXPECT_EQ(Model->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Head"), EKey::MK_Normal)), B->GetResultRenderTarget());
	}

	// A masked image texture first in its stack multiplies the image by the mask; a swizzle
	// with "LinearDodge" adds onto the chain; one with "Normal" is the result as last node
	// while the chain goes on from its input.
	{
		const FHCTextureEditingComponent& Component = Model->GetImageProcessorComponents()[1];
		UHCImageProcessor* Mask = Component.ImageProcessorStacks[0].ImageProcessorNodes[0];
		const FHCTextureEditingProcessorStack& Stack = Component.ImageProcessorStacks[1];
		ASSERT_EQ(Stack.ImageProcessorNodes.Num(), 6);
		UHCImageTexture* Image = Cast<UHCImageTexture>(Stack.ImageProcessorNodes[0].Get());
		UHCSwizzle* MaskSwizzle = Cast<UHCSwizzle>(Stack.ImageProcessorNodes[1].Get());
		UHCBlendTexture* Mul = Cast<UHCBlendTexture>(Stack.ImageProcessorNodes[2].Get());
		UHCSwizzle* Dodged = Cast<UHCSwizzle>(Stack.ImageProcessorNodes[3].Get());
		UHCBlendTexture* Add = Cast<UHCBlendTexture>(Stack.ImageProcessorNodes[4].Get());
		UHCSwizzle* Plain = Cast<UHCSwizzle>(Stack.ImageProcessorNodes[5].Get());
		ASSERT_TRUE(Image && MaskSwizzle && Mul && Dodged && Add && Plain);
		EXPECT_EQ(InputOf(MaskSwizzle, 0), Mask);
		EXPECT_EQ(MaskSwizzle->GetArrangement(), MaskArrangement);
		EXPECT_EQ(InputCount(Mul), 2);
		EXPECT_EQ(InputOf(Mul, ESlot::BTDS_InputTexture_A), Image);
		EXPECT_EQ(InputOf(Mul, ESlot::BTDS_InputTexture_B), MaskSwizzle);
		EXPECT_EQ(Mul->GetOperation(), EHCBlendTextureOperation::BTO_Mul);
		EXPECT_EQ(InputOf(Dodged, 0), Mul);
		EXPECT_EQ(Dodged->GetArrangement(), (TArray<EHCSwizzleChannel>{EHCSwizzleChannel::SC_Blue, EHCSwizzleChannel::SC_Green,
			EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_One}));
		EXPECT_EQ(InputCount(Add), 2);
		EXPECT_EQ(InputOf(Add, 0), Dodged);
		EXPECT_EQ(InputOf(Add, 1), Mul);
		EXPECT_EQ(Add->GetOperation(), EHCBlendTextureOperation::BTO_Add);
		EXPECT_EQ(InputOf(Plain, 0), Add);
		EXPECT_EQ(Plain->GetArrangement(), (TArray<EHCSwizzleChannel>{EHCSwizzleChannel::SC_OneMinusRed, EHCSwizzleChannel::SC_Zero,
			EHCSwizzleChannel::SC_Alpha, EHCSwizzleChannel::SC_One}));
		EXPECT_EQ(Stack.InterfaceProcessors, (TArray<TObjectPtr<UHCImageProcessor>>{nullptr, Dodged, Plain}));
		EXPECT_TRUE(Model->GetResultNodes().Contains(Plain));
		for (const TCHAR* Mesh : {TEXT("Arm"), TEXT("Leg")})
		{
			EXPECT_EQ(Model->GetMeshRenderTarget(FHCTextureEditingBindingKey(Mesh, EKey::MK_Albedo)), Plain->GetResultRenderTarget()) << Mesh;
		}
	}

	// Two stacks with one material key: both are results, the later one is bound; the first is
	// also the second's source and mask, so it is root and input at once.
	{
		const FHCTextureEditingComponent& Component = Model->GetImageProcessorComponents()[2];
		UHCImageProcessor* First = Component.ImageProcessorStacks[0].ImageProcessorNodes[0];
		const FHCTextureEditingProcessorStack& Second = Component.ImageProcessorStacks[1];
		ASSERT_EQ(Second.ImageProcessorNodes.Num(), 2);
		UHCSwizzle* MaskSwizzle = Cast<UHCSwizzle>(Second.ImageProcessorNodes[0].Get());
		UHCBlendTexture* Mul = Cast<UHCBlendTexture>(Second.ImageProcessorNodes[1].Get());
		ASSERT_TRUE(MaskSwizzle && Mul);
		EXPECT_EQ(InputOf(MaskSwizzle, 0), First);
		EXPECT_EQ(InputOf(Mul, ESlot::BTDS_InputTexture_A), First);
		EXPECT_EQ(InputOf(Mul, ESlot::BTDS_InputTexture_B), MaskSwizzle);
		EXPECT_EQ(Mul->GetOperation(), EHCBlendTextureOperation::BTO_Mul);
		EXPECT_EQ(Second.InterfaceProcessors, (TArray<TObjectPtr<UHCImageProcessor>>{nullptr}));
		EXPECT_TRUE(Model->GetResultNodes().Contains(First));
		EXPECT_TRUE(Model->GetResultNodes().Contains(Mul));
		EXPECT_EQ(Model->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("TORSO"), EKey::MK_Albedo)), Mul->GetResultRenderTarget());
	}
	EXPECT_EQ(Model->GetResultNodes().Num(), 4);
}

TEST(HCTextureEditingBindingKeyTest, MeshNamesIgnoreCaseMaterialKeysDoNot)
{
	using EKey = EHCTextureEditingMaterialKey;
	const FHCTextureEditingBindingKey Default;
	EXPECT_EQ(Default.MeshName, FString());
	EXPECT_EQ(Default.MaterialKey, EKey::MK_None);

	const FHCTextureEditingBindingKey Body(TEXT("Body"), EKey::MK_Albedo);
	const FHCTextureEditingBindingKey LowerBody(TEXT("body"), EKey::MK_Albedo);
	EXPECT_EQ(Body, LowerBody);
	EXPECT_EQ(GetTypeHash(Body), GetTypeHash(LowerBody));
	EXPECT_FALSE(Body == FHCTextureEditingBindingKey(TEXT("Body"), EKey::MK_Normal));
	EXPECT_FALSE(Body == FHCTextureEditingBindingKey(TEXT("Bod"), EKey::MK_Albedo));

	TMap<FHCTextureEditingBindingKey, int32> Map;
	Map.Add(Body, 1);
	Map.Add(FHCTextureEditingBindingKey(TEXT("BODY"), EKey::MK_Albedo), 2);
	Map.Add(FHCTextureEditingBindingKey(TEXT("Body"), EKey::MK_Normal), 3);
	EXPECT_EQ(Map.Num(), 2);
	EXPECT_EQ(Map.FindChecked(LowerBody), 2);

	EXPECT_EQ(FHCTextureEditingBindingKey(TEXT("A"), TEXT("_BaseColorMap")).MaterialKey, EKey::MK_Albedo);
	EXPECT_EQ(FHCTextureEditingBindingKey(TEXT("A"), TEXT("_NormalMap")).MaterialKey, EKey::MK_Normal);
	EXPECT_EQ(FHCTextureEditingBindingKey(TEXT("A"), TEXT("_normalmap")).MaterialKey, EKey::MK_None);
	EXPECT_EQ(FHCTextureEditingBindingKey(TEXT("A"), TEXT("_BaseColorMap ")).MaterialKey, EKey::MK_None);
	EXPECT_EQ(FHCTextureEditingBindingKey(TEXT("A"), FString()).MaterialKey, EKey::MK_None);
	EXPECT_EQ(FHCTextureEditingBindingKey(TEXT("A"), TEXT("_NormalMap")).MeshName, FString(TEXT("A")));
}

namespace
{
	struct FInvalidCase
	{
		const char* Name;
		/** The processor stacks of the second component; the first component is valid. */
		const char* Stacks;
		const char* Error;
	};

	void PrintTo(const FInvalidCase& Case, std::ostream* Stream)
	{
		*Stream << Case.Name;
	}

	const FInvalidCase InvalidCases[] = {
		{"UnknownType", R"([{"materialKey": "_BaseColorMap", "processors": [{"type": "Blur"}]}])",
			"processor stack 0, processor 0: unknown processor type \"Blur\""},
		{"TypeIsCaseSensitive", R"([{"materialKey": "", "processors": [{"type": "imagetexture", "stringParams": ["../Textures/T_Skin.png"]}]}])",
			"processor stack 0, processor 0: unknown processor type \"imagetexture\""},
		{"ColorizeFirst", R"([{"materialKey": "", "processors": [{"type": "Colorize"}]}])",
			"processor stack 0, processor 0: a colorize needs an earlier processor in its stack"},
		{"SwizzleFirst", R"([{"materialKey": "", "processors": [{"type": "Swizzle", "intParams": [1, 2, 3, 4]}]}])",
			"processor stack 0, processor 0: a swizzle needs an earlier processor in its stack"},
		{"UnknownBlendMode", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Swizzle", "blendMode": "Multiply", "intParams": [1, 2, 3, 4]}]}])",
			"processor stack 0, processor 1: unknown blend mode \"Multiply\""},
		{"SwizzleChannelOutOfRange", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Swizzle", "intParams": [1, 2, 10, 4]}]}])",
			"processor stack 0, processor 1: 10 is no swizzle channel"},
		{"SwizzleParameters", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Swizzle", "stringParams": ["ArmToMads", "x"]}]}])",
			"processor stack 0, processor 1: a swizzle takes four channels or the single string \"ArmToMads\", not 2 strings and 0 integers"},
		{"ImageTextureParameters", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "intParams": [1]}]}])",
			"processor stack 0, processor 0: an image texture takes one path, one path and two stack references, or two stack references, not 0 strings and 1 integers"},
		{"ColorizeParameters", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Colorize", "stringParams": ["../Textures/T_Region_M.png"], "intParams": [0]}]}])",
			"processor stack 0, processor 1: a colorize takes one mask path, one stack reference or nothing, not 1 strings and 1 integers"},
		{"MaskedImageWithSourceReference", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]}]},
			{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"], "intParams": [0, 0]}]}])",
			"processor stack 1, processor 0: check \"intParams[0] == -1\" failed"},
		{"MaskedImageWithoutMask", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"], "intParams": [-1, -1]}]}])",
			"processor stack 0, processor 0: check \"intParams[1] != -1\" failed"},
		{"ReferencedImageWithoutSource", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "intParams": [-1, 0]}]}])",
			"processor stack 0, processor 0: check \"intParams[0] != -1\" failed"},
		{"ColorizeWithoutMaskReference", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Colorize", "intParams": [-1]}]}])",
			"processor stack 0, processor 1: check \"intParams[0] != -1\" failed"},
		{"ReferenceOutOfRange", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Colorize", "intParams": [5]}]}])",
			"processor stack 0, processor 1: stack reference 5 names no earlier stack"},
		{"ReferenceToOwnStack", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]},
			{"type": "Colorize", "intParams": [0]}]}])",
			"processor stack 0, processor 1: stack reference 0 names no earlier stack"},
		{"ReferenceToEmptyStack", R"([{"materialKey": "", "processors": []},
			{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"], "intParams": [-1, 0]}]}])",
			"processor stack 1, processor 0: stack reference 0 names a stack without processors"},
		{"TextureThatDoesNotLoad", R"([{"materialKey": "", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Missing.png"]}]}])",
			"processor stack 0, processor 0: check \"Tex\" failed"},
		{"MaterialKeyWithoutProcessors", R"([{"materialKey": "_NormalMap", "processors": []}])",
			"processor stack 0: material key \"_NormalMap\" but no processors"},
	};
}

class HCTextureEditingModelInvalidTest : public HCTextureEditingModelTest, public ::testing::WithParamInterface<FInvalidCase>
{
};

TEST_P(HCTextureEditingModelInvalidTest, OneErrorNamesThePlaceAndTheModelStaysEmpty)
{
	const FInvalidCase& Case = GetParam();
	const FString Json = FString::Printf(TEXT(R"({"components": [
		{"meshes": ["Valid"], "processorStacks": [{"materialKey": "_BaseColorMap", "processors": [
			{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]}]}]},
		{"meshes": ["Broken"], "processorStacks": %s}]})"), Case.Stacks);
	FLogCapture Capture;
	UHCTextureEditingModel* Model = Build(Json);

	EXPECT_EQ(TempErrors(Capture), TArray<FString>{FString::Printf(
		TEXT("Skin composition component 1, %s; the texture-editing model stays empty."), Case.Error)});
	EXPECT_TRUE(Model->GetImageProcessorComponents().IsEmpty());
	EXPECT_TRUE(Model->GetResultNodes().IsEmpty());
	EXPECT_FALSE(Model->SupportsMesh(FHCTextureEditingBindingKey(TEXT("Valid"), EHCTextureEditingMaterialKey::MK_Albedo)));
	EXPECT_TRUE(Model->IsMarkedDirty());
}

INSTANTIATE_TEST_SUITE_P(Configurations, HCTextureEditingModelInvalidTest, ::testing::ValuesIn(InvalidCases),
	[](const ::testing::TestParamInfo<FInvalidCase>& Info) { return std::string(Info.param.Name); });

TEST_F(HCTextureEditingModelTest, AFailedRebuildDropsThePreviousGraphs)
{
	UHCTextureEditingModel* Model = Build(TEXT(R"({"components": [{"meshes": ["Body"], "processorStacks": [
		{"materialKey": "_BaseColorMap", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]}]}]}]})"));
	ASSERT_EQ(Model->GetResultNodes().Num(), 1);
	ASSERT_TRUE(Model->SupportsMesh(FHCTextureEditingBindingKey(TEXT("Body"), EHCTextureEditingMaterialKey::MK_Albedo)));

	UHCCharacterEditorSkinCompositionData* Broken = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Broken.json"),
		TEXT(R"({"components": [{"meshes": ["Body"], "processorStacks": [{"materialKey": "_BaseColorMap", "processors": [{"type": "Colorize"}]}]}]})"));
	FLogCapture Capture;
	Model->Initialize(Broken, nullptr);
	EXPECT_EQ(TempErrors(Capture).Num(), 1);
	EXPECT_TRUE(Model->GetImageProcessorComponents().IsEmpty());
	EXPECT_TRUE(Model->GetResultNodes().IsEmpty());
	EXPECT_FALSE(Model->SupportsMesh(FHCTextureEditingBindingKey(TEXT("Body"), EHCTextureEditingMaterialKey::MK_Albedo)));

	Capture.Clear();
	Model->Initialize(nullptr, nullptr);
	EXPECT_EQ(TempErrors(Capture), TArray<FString>{TEXT("The texture-editing model got no skin composition; it stays empty.")});
	EXPECT_TRUE(Model->GetImageProcessorComponents().IsEmpty());
}
