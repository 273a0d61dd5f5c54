#pragma once

// Helpers for the composite-component tests: a small character made in code on the engine
// tests' two-bone mesh (a catalog, a descriptor with one character "Ava", a shape animation
// and a garment "Tights"), and a component that runs its steps on demand.
//
// The catalog: textures 0 (template albedo), 1 (tanned albedo), 2 and 3 (tights variations),
// 4 (tights normal map); materials 0 "M_Body" (ALBEDO 0), 1 "M_Body_Tanned" (ALBEDO 1),
// 2 "M_Tights" (ALBEDO 2 or 3, NORMAL 4, EMISSIVE 0); template 0 with render object "Body"
// (material 0, slot "M_Body"); shape assets 0 "Lean" (frame 1), 1 "Twist" (frame 2) and
// 2 "Tanned" (frame 3, the tanned albedo for "Body"); deformable asset 0 "Tights" (material 2).
// The animation over the two bones: frame 0 the reference pose, frame 1 moves the arm to
// (20, 0, 0) turned 90 degrees about Z, frame 2 to (10, 6, 0) turned 90 degrees about X, frame
// 3 the reference pose; every frame scales the arm by 2, which the rig must not take over.

#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"
#include "Animation/AnimSequence.h"
#include "CoreMinimal.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/World.h"
#include "HCImageProcessorTestSupport.h"
#include "Logging/LogCapture.h"
#include "SceneTestMeshes.h"
#include "UObject/StrongObjectPtr.h"

#include <initializer_list>

#include "HCCompositeComponentTestSupport.generated.h"

/** The composite component with its steps callable from the tests. */
UCLASS()
class UHCTestCompositeComponent : public UHCCompositeSkeletalMeshComponent
{
	GENERATED_BODY()

public:
	void RunDeferredInit() { DeferredInit(); }
};

namespace HCCompositeTest
{
	inline FQuat TurnAboutZ() { return FQuat(FVector(0, 0, 1), FMath::DegreesToRadians(90.0)); }
	inline FQuat TurnAboutX() { return FQuat(FVector(1, 0, 0), FMath::DegreesToRadians(90.0)); }

	/** A linear texture of one colour. */
	inline UTexture2D* MakeUniformTexture(FColor Color, int32 Size = 4)
	{
		UTexture2D* Texture = UTexture2D::CreateTransient(Size, Size);
		Texture->SRGB = false;
		FByteBulkData& Bulk = Texture->GetPlatformData()->Mips[0].BulkData;
		FColor* Texels = static_cast<FColor*>(Bulk.Lock(LOCK_READ_WRITE));
		for (int32 Texel = 0; Texel < Size * Size; ++Texel)
		{
			Texels[Texel] = Color;
		}
		Bulk.Unlock();
		return Texture;
	}

	inline FHCTextureExport MakeExport(const TCHAR* Slot, std::initializer_list<int32> Variations)
	{
		FHCTextureExport Export;
		Export.key = FString(TEXT("_")) + Slot;
		Export.slot = Slot;
		Export.textureVariationIndices = TArray<int32>(Variations);
		return Export;
	}

	inline FHCSkinnedRenderObject MakeRenderObject(const TCHAR* MeshName, int32 Material, const TCHAR* MaterialName)
	{
		FHCSkinnedRenderObject RenderObject;
		RenderObject.meshName = MeshName;
		RenderObject.materialExportIndex = {Material};
		RenderObject.materialNames = {MaterialName};
		return RenderObject;
	}

	inline FHCShapeAsset MakeShapeAsset(const TCHAR* Name, int32 ShapeIndex)
	{
		FHCShapeAsset Shape;
		Shape.assetName = Name;
		Shape.shapeIndex = ShapeIndex;
		return Shape;
	}

	/** The two-bone mesh with its slots renamed. */
	inline USkeletalMesh* MakeMesh(std::initializer_list<const TCHAR*> SlotNames)
	{
		USkeletalMesh* Mesh = SceneTest::MakeTwoBoneMesh();
		TArray<FSkeletalMaterial> Slots;
		for (const TCHAR* Name : SlotNames)
		{
			Slots.Add(FSkeletalMaterial(NewObject<UMaterial>(Mesh), FName(Name)));
		}
		Mesh->SetMaterials(Slots);
		return Mesh;
	}

	/** Animation keys for the arm; the root keeps its reference pose. */
	inline UAnimSequence* MakeShapeRig(USkeleton* Skeleton, float PlayLength = 1.0f)
	{
		FRawAnimSequenceTrack Arm;
		Arm.PosKeys = {FVector3f(10, 0, 0), FVector3f(20, 0, 0), FVector3f(10, 6, 0), FVector3f(10, 0, 0)};
		Arm.RotKeys = {FQuat4f::Identity, FQuat4f(TurnAboutZ()), FQuat4f(TurnAboutX()), FQuat4f::Identity};
		Arm.ScaleKeys = {FVector3f(2, 2, 2)};
		UAnimSequence* Animation = NewObject<UAnimSequence>();
		Animation->SetSkeleton(Skeleton);
		Animation->SetBoneTracks(PlayLength, 4, {FName(TEXT("arm"))}, {Arm});
		return Animation;
	}
}

/** A played world with the small character's data, a body component and its tights, ready to register. */
class HCCompositeComponentTest : public HCImageProcessorTest
{
protected:
	void SetUp() override
	{
		using namespace HCCompositeTest;
		HCImageProcessorTest::SetUp();
		World = UWorld::CreateWorld(EWorldType::Game);
		World->BeginPlay();

		Catalog = Keep(NewObject<UHCAssetCatalogData>());
		for (const FColor Color : {TemplateColor, TannedColor, FColor(10, 20, 30, 255), FColor(40, 50, 60, 255), FColor(128, 128, 255, 255)})
		{
			FHCTexture& Texture = Catalog->textures.AddDefaulted_GetRef();
			Texture.texture = Keep(MakeUniformTexture(Color));
		}
		Catalog->materials.Add({TEXT("M_Body"), TEXT("Skin"), {MakeExport(TEXT("ALBEDO"), {0})}});
		Catalog->materials.Add({TEXT("M_Body_Tanned"), TEXT("Skin"), {MakeExport(TEXT("ALBEDO"), {1})}});
		Catalog->materials.Add({TEXT("M_Tights"), TEXT("Cloth"),
			{MakeExport(TEXT("ALBEDO"), {2, 3}), MakeExport(TEXT("NORMAL"), {4}), MakeExport(TEXT("EMISSIVE"), {0})}});
		Catalog->templateAssets.AddDefaulted_GetRef().skinnedRenderObjects.Add(MakeRenderObject(TEXT("Body"), 0, TEXT("M_Body")));
		Catalog->shapeAssets = {MakeShapeAsset(TEXT("Lean"), 0), MakeShapeAsset(TEXT("Twist"), 1), MakeShapeAsset(TEXT("Tanned"), 2)};
		Catalog->shapeAssets[2].skinnedRenderObjects.Add(MakeRenderObject(TEXT("Body"), 1, TEXT("M_Body")));
		FHCDeformableAsset& Tights = Catalog->deformableAssets.AddDefaulted_GetRef();
		Tights.assetName = TEXT("Tights");
		Tights.skinnedRenderObjects.Add(MakeRenderObject(TEXT("Tights"), 2, TEXT("M_Tights")));

		Descriptor = Keep(NewObject<UHCCharacterDescriptorData>());
		FHCCharacter& Ava = Descriptor->groups.AddDefaulted_GetRef().characters.AddDefaulted_GetRef();
		Ava.name = TEXT("Ava");
		FHCCharacterBlend& First = Ava.blends.AddDefaulted_GetRef();
		First.shapeWeights.Add({TEXT("Bulge"), 0, 0.5f});
		First.textureWeights.Add({TEXT("Tanned"), 2, 0.3f});
		First.deformableAssetsIndices.Add({TEXT("Tights"), 0, 1});
		// Only the first blend composes: the second would show in every step if it were read.
		FHCCharacterBlend& Second = Ava.blends.AddDefaulted_GetRef();
		Second.shapeWeights.Add({TEXT("Bulge"), 1, 0.9f});
		Second.textureWeights.Add({TEXT("Tanned"), 2, 0.9f});
		Second.deformableAssetsIndices.Add({TEXT("Tights"), 0, 0});

		Body = Keep(NewObject<UHCTestCompositeComponent>());
		Body->SetSkeletalMeshAsset(Keep(SceneTest::MakeTwoBoneMesh()));
		Body->CharacterDescriptorData = Descriptor;
		Body->AssetCatalogData = Catalog;
		Body->AnimationSequence = Keep(MakeShapeRig(Body->GetSkeletalMeshAsset()->GetSkeleton()));
		Garment = Keep(NewObject<USkeletalMeshComponent>(Body, FName(TEXT("Tights"))));
		Garment->SetSkeletalMeshAsset(Keep(MakeMesh({TEXT("M_Tights_Fabric"), TEXT("M_Other")})));
		Garment->SetupAttachment(Body);
	}

	void TearDown() override
	{
		World->DestroyWorld();
		Kept.Empty();
		FlushRenderingCommands();
		CollectGarbage();
		HCImageProcessorTest::TearDown();
	}

	template <typename ObjectType>
	ObjectType* Keep(ObjectType* Object)
	{
		Kept.Add(TStrongObjectPtr<UObject>(Object));
		return Object;
	}

	FHCCharacterBlend& FirstBlend() { return Descriptor->groups[0].characters[0].blends[0]; }

	/** Registers the body with the world, which composes it twice (registration, then play). */
	void Register()
	{
		Body->RegisterComponentWithWorld(World);
		FlushRenderingCommands();
	}

	/** The body's override of the arm bone. */
	FTransform ArmPose(const USkeletalMeshComponent* Component) const
	{
		const TSharedPtr<FSkelMeshRefPoseOverride>& Override = Component->GetRefPoseOverride();
		EXPECT_TRUE(Override.IsValid());
		return Override.IsValid() ? Override->RefBonePoses[1] : FTransform::Identity;
	}

	const FColor TemplateColor = FColor(200, 100, 50, 255);
	const FColor TannedColor = FColor(100, 200, 40, 255);
	UWorld* World = nullptr;
	UHCAssetCatalogData* Catalog = nullptr;
	UHCCharacterDescriptorData* Descriptor = nullptr;
	UHCTestCompositeComponent* Body = nullptr;
	USkeletalMeshComponent* Garment = nullptr;
};
