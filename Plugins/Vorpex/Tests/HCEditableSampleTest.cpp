// The bundled sample character edited end to end: its project names the body, the editor
// configuration and the skin composition; editing begins on the real body, the shared skin
// tone picker and a morph slider move, and one tick shows both in the mesh and its materials.
// The tights' vertex cache, named by the project too, hides the body vertices under them.

#include "Controllers/HCMorphShapingController.h"
#include "Controllers/HCTextureEditingController.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCVertexCacheData.h"
#include "HCEditableComponentTestSupport.h"
#include "HCSampleProjectTest.h"

using HCEditableComponentTest::MaterialInstances;
using HCEditableComponentTest::ReadGpuTexels;
using HCEditableComponentTest::TextureParameter;
using HCEditableComponentTest::UserDataTexture;

namespace
{
	template <typename RecordType>
	const RecordType* FindByDisplayName(const TArray<RecordType>& Records, const TCHAR* DisplayName)
	{
		return Records.FindByPredicate([DisplayName](const RecordType& Record) { return Record.displayName == DisplayName; });
	}

	TArray<FColor> ReadTarget(UTextureRenderTarget2D* Target)
	{
		FlushRenderingCommands();
		TArray<FColor> Pixels;
		EXPECT_TRUE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
		return Pixels;
	}

	/** How many texels differ between two reads of one target. */
	int32 CountChanged(const TArray<FColor>& Before, const TArray<FColor>& After)
	{
		int32 Changed = 0;
		for (int32 Index = 0; Index < FMath::Min(Before.Num(), After.Num()); ++Index)
		{
			Changed += Before[Index] != After[Index] ? 1 : 0;
		}
		return Changed;
	}
}

using HCEditableSampleTest = HCSampleProjectTest;

TEST_F(HCEditableSampleTest, EditingTheSampleBodyShowsAMovedSkinToneAndMorphSliderAfterOneTick)
{
	UHCCharacterEditorConfigData* Config = LoadProjectObject<UHCCharacterEditorConfigData>(TEXT("editorConfig"));
	UHCCharacterEditorSkinCompositionData* Skin = LoadProjectObject<UHCCharacterEditorSkinCompositionData>(TEXT("skinComposition"));
	USkeletalMesh* Body = LoadProjectObject<USkeletalMesh>(TEXT("body"));
	ASSERT_TRUE(Config && Skin && Body);
	UHCEditableSkeletalMeshComponent* Component = NewObject<UHCEditableSkeletalMeshComponent>();
	Component->SetSkeletalMeshAsset(Body);
	Component->CEConfigData = Config;
	Component->SkinCompositionEditorData = Skin;
	Component->RegisterComponentWithWorld(World);

	FLogCapture Capture;
	Component->BeginEditing();
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Warning).IsEmpty());
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty());
	UHCTextureEditingModel* TextureModel = Component->getTextureEditingModel();
	EXPECT_EQ(Component->getMorphShapingModel()->GetMorphTargetWeights().Num(), Body->GetMorphTargets().Num());

	// Both body slots show their mesh's edited skin and the culling texture, which has a texel per vertex.
	const TMap<FString, TObjectPtr<UMaterialInstanceDynamic>>& Instances = MaterialInstances(Component);
	ASSERT_EQ(Instances.Num(), 2);
	UTextureRenderTarget2D* BodySkin = TextureModel->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Body"), EHCTextureEditingMaterialKey::MK_Albedo));
	UTextureRenderTarget2D* HeadSkin = TextureModel->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Head"), EHCTextureEditingMaterialKey::MK_Albedo));
	EXPECT_EQ(TextureParameter(Instances.FindRef(TEXT("M_Body")), TEXT("BC_Texture")), BodySkin);
	EXPECT_EQ(TextureParameter(Instances.FindRef(TEXT("M_Head")), TEXT("BC_Texture")), HeadSkin);
	EXPECT_EQ(TextureParameter(Instances.FindRef(TEXT("M_Head")), TEXT("CM_Texture")), UserDataTexture(Component));
	const int64 Side = UserDataTexture(Component)->GetSizeX();
	const int64 Vertices = Body->GetResourceForRendering()->LODRenderData[0].GetNumVertices();
	EXPECT_GE(Side * Side, Vertices);
	EXPECT_LT((Side - 1) * (Side - 1), Vertices);

	// The controls a user moves: the skin tone picker the body and the head share, and the belly slider.
	const FHCCharacterEditorSegmentation* SkinSection = FindByDisplayName(Config->segmentations, TEXT("Skin"));
	const FHCCharacterEditorSkinCompositionHandler* SkinTone = FindByDisplayName(Skin->components[0].handlers, TEXT("Skin Tone"));
	const FHCCharacterEditorSegmentation* BodySection = FindByDisplayName(Config->segmentations, TEXT("Body"));
	ASSERT_TRUE(SkinSection && SkinTone && BodySection);
	const FHCShapeConstraints* Belly = FindByDisplayName(BodySection->shapeConstraints, TEXT("Belly"));
	ASSERT_NE(Belly, nullptr);
	const FName BellyOut(*Belly->shapes[1]);
	ASSERT_NE(Component->FindMorphTarget(BellyOut), nullptr);

	// The first tick shows the start colours.
	World->Tick(LEVELTICK_All, 1.0f / 60.0f);
	const TArray<FColor> BodyBefore = ReadTarget(BodySkin);
	const TArray<FColor> HeadBefore = ReadTarget(HeadSkin);
	UHCColorize* Tone = TextureModel->FindInterfaceColorize(0, SkinTone->stack, SkinTone->process);
	ASSERT_NE(Tone, nullptr);
	const FColor StartTone = Tone->GetColor();

	Component->getTextureEditingController()->UpdateModel(SkinSection, SkinTone, FVector2f(0.9f, 0.9f));
	Component->getMorphShapingController()->UpdateModel(Belly, 1, 0.6f, 0, 0.0f);
	EXPECT_NE(Tone->GetColor(), StartTone);
	EXPECT_EQ(Component->GetMorphTarget(BellyOut), 0.0f) << "nothing reaches the mesh before the tick";

	World->Tick(LEVELTICK_All, 1.0f / 60.0f);
	EXPECT_EQ(Component->GetMorphTarget(BellyOut), 0.6f);
	EXPECT_TRUE(Component->GetActiveMorphTargets().Contains(Component->FindMorphTarget(BellyOut)));
	EXPECT_EQ(TextureParameter(Instances.FindRef(TEXT("M_Body")), TEXT("BC_Texture")), BodySkin) << "the same target, redrawn";
	// The skin detail images fill both textures, so the new tone reaches nearly every texel of both.
	const TArray<FColor> BodyAfter = ReadTarget(BodySkin);
	const TArray<FColor> HeadAfter = ReadTarget(HeadSkin);
	EXPECT_GT(CountChanged(BodyBefore, BodyAfter), BodyAfter.Num() - BodyAfter.Num() / 10);
	EXPECT_GT(CountChanged(HeadBefore, HeadAfter), HeadAfter.Num() - HeadAfter.Num() / 10);
}

TEST_F(HCEditableSampleTest, TheTightsVertexCacheHidesInTheCullingTextureTheBodyVerticesItHides)
{
	UHCCharacterEditorConfigData* Config = LoadProjectObject<UHCCharacterEditorConfigData>(TEXT("editorConfig"));
	USkeletalMesh* Body = LoadProjectObject<USkeletalMesh>(TEXT("body"));
	UHCAttachmentVertexCacheData* Tights = LoadAttachmentObject<UHCAttachmentVertexCacheData>(TEXT("Tights"), TEXT("vertexCache"));
	ASSERT_TRUE(Config && Body && Tights);
	EXPECT_EQ(Tights->TargetSkeletalMesh.Get(), Body);
	const int32 Vertices = static_cast<int32>(Body->GetResourceForRendering()->LODRenderData[0].GetNumVertices());
	ASSERT_EQ(Tights->VertexOpacity.Num(), Vertices);

	// Culling needs no texture editing: a skin composition without components spares the GPU work.
	UHCCharacterEditorSkinCompositionData* NoSkinEditing = NewObject<UHCCharacterEditorSkinCompositionData>();
	Kept.Add(TStrongObjectPtr<UObject>(NoSkinEditing));
	UHCEditableSkeletalMeshComponent* Component = NewObject<UHCEditableSkeletalMeshComponent>();
	Component->SetSkeletalMeshAsset(Body);
	Component->CEConfigData = Config;
	Component->SkinCompositionEditorData = NoSkinEditing;
	Component->RegisterComponentWithWorld(World);
	Component->BeginEditing();
	Component->ApplyCullData(Tights);

	// Texel v shows vertex v: black where the cache hides it, white where it shows, and white past the last vertex.
	const std::vector<uint8> Texels = ReadGpuTexels(UserDataTexture(Component));
	ASSERT_GE(Texels.size(), static_cast<size_t>(Vertices) * 4);
	int32 Hidden = 0;
	int32 Wrong = 0;
	for (size_t Texel = 0; Texel < Texels.size() / 4; ++Texel)
	{
		const bool bHidden = Texel < static_cast<size_t>(Vertices) && Tights->VertexOpacity[static_cast<int32>(Texel)] == 0.0f;
		const uint8 Level = bHidden ? 0 : 255;
		Hidden += bHidden ? 1 : 0;
		const bool bRight = Texels[Texel * 4] == Level && Texels[Texel * 4 + 1] == Level && Texels[Texel * 4 + 2] == Level && Texels[Texel * 4 + 3] == 255;
		Wrong += bRight ? 0 : 1;
	}
	EXPECT_EQ(Wrong, 0);
	EXPECT_GT(Hidden, Vertices / 10) << "the tights cover the legs";
	EXPECT_LT(Hidden, Vertices / 2);
}
