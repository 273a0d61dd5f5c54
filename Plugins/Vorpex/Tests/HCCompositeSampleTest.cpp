// Every character of the bundled sample composed on its body, with its tights and skirt
// attached and both garments' vertex caches culling the body.

#include "DataAssets/HCVertexCacheData.h"
#include "HCCompositeComponentTestSupport.h"
#include "HCSampleProjectTest.h"
#include "Materials/MaterialInstanceDynamic.h"

using HCCompositeSampleTest = HCSampleProjectTest;

TEST_F(HCCompositeSampleTest, EveryCharacterOfTheDescriptorComposesWithoutAnError)
{
	UHCCharacterDescriptorData* Descriptor = LoadProjectObject<UHCCharacterDescriptorData>(TEXT("descriptor"));
	UHCAssetCatalogData* Catalog = LoadProjectObject<UHCAssetCatalogData>(TEXT("catalog"));
	USkeletalMesh* BodyMesh = LoadProjectObject<USkeletalMesh>(TEXT("body"));
	UAnimSequence* Animation = LoadProjectObject<UAnimSequence>(TEXT("animation"));
	ASSERT_TRUE(Descriptor && Catalog && BodyMesh && Animation);
	ASSERT_FALSE(Descriptor->groups.IsEmpty());

	int32 Composed = 0;
	for (int32 Group = 0; Group < Descriptor->groups.Num(); ++Group)
	{
		for (int32 Character = 0; Character < Descriptor->groups[Group].characters.Num(); ++Character)
		{
			const FHCCharacterBlend& Blend = Descriptor->groups[Group].characters[Character].blends[0];
			SCOPED_TRACE(*Descriptor->groups[Group].characters[Character].name);
			UHCCompositeSkeletalMeshComponent* Body = NewObject<UHCCompositeSkeletalMeshComponent>();
			Kept.Add(TStrongObjectPtr<UObject>(Body));
			Body->SetSkeletalMeshAsset(BodyMesh);
			Body->CharacterDescriptorData = Descriptor;
			Body->AssetCatalogData = Catalog;
			Body->GroupIndex = Group;
			Body->CharacterIndex = Character;
			Body->AnimationSequence = Animation;
			TMap<FString, USkeletalMeshComponent*> Garments;
			for (const TSharedPtr<FJsonValue>& Attachment : Project->GetArrayField(TEXT("attachments")))
			{
				const TSharedPtr<FJsonObject>& Fields = Attachment->AsObject();
				const FString Name = Fields->GetStringField(TEXT("component"));
				USkeletalMeshComponent* Garment = NewObject<USkeletalMeshComponent>(Body, FName(*Name));
				Garment->SetSkeletalMeshAsset(LoadKept<USkeletalMesh>(Fields->GetStringField(TEXT("mesh"))));
				Garment->SetupAttachment(Body);
				Garments.Add(Name, Garment);
				Body->AttachmentCullData.Add(LoadKept<UHCAttachmentVertexCacheData>(Fields->GetStringField(TEXT("vertexCache"))));
			}

			FLogCapture Capture;
			Body->RegisterComponentWithWorld(World);
			FlushRenderingCommands();
			EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty()) << *FString::Join(Capture.GetMessages(ELogVerbosity::Error), TEXT("\n"));
			for (const FString& Warning : Capture.GetMessages(ELogVerbosity::Warning))
			{
				EXPECT_TRUE(Warning.StartsWith(TEXT("Frame ")) || Warning.StartsWith(TEXT("Bone "))) << *Warning;
			}

			// The rig, the shape weights, one graph per skin mesh the texture weights reach, and the worn garments' textures.
			ASSERT_TRUE(Body->GetRefPoseOverride().IsValid());
			EXPECT_EQ(Body->GetRefPoseOverride()->RefBonePoses.Num(), BodyMesh->GetRefSkeleton().GetNum());
			for (const FHCShapeWeight& Shape : Blend.shapeWeights)
			{
				EXPECT_EQ(Body->GetMorphTarget(FName(*Shape.name)), Shape.weight) << *Shape.name;
			}
			EXPECT_EQ(Body->MeshNameToImageProcessorArray.Num(), Blend.textureWeights.IsEmpty() ? 0 : 2);
			for (const FHCDeformableAssetsIndex& Worn : Blend.deformableAssetsIndices)
			{
				ASSERT_TRUE(Garments.Contains(Worn.name)) << *Worn.name;
				EXPECT_NE(Cast<UMaterialInstanceDynamic>(Garments[Worn.name]->GetMaterial(0)), nullptr) << *Worn.name;
			}
			Body->DestroyComponent();
			++Composed;
		}
	}
	EXPECT_EQ(Composed, 6);

	// Vertices the tights or the skirt cover are black in the body's vertex colours, the others opaque red.
	const FColorVertexBuffer& Colors = BodyMesh->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.ColorVertexBuffer;
	int32 Hidden = 0;
	for (uint32 Vertex = 0; Vertex < Colors.GetNumVertices(); ++Vertex)
	{
		Hidden += Colors.VertexColor(Vertex).R == 0 ? 1 : 0;
	}
	EXPECT_GT(Hidden, 0);
	EXPECT_LT(Hidden, static_cast<int32>(Colors.GetNumVertices()) / 2);
}
