#pragma once

// The skeletal mesh component that turns one character of a character descriptor into a
// finished mesh: the rig blended from a shape animation, morph-target weights on the body and
// every attached garment, the body's albedo composed on the GPU from the template and shape
// albedos, the garments' catalog textures bound, and body vertices under attachments hidden
// through the vertex colours.
//
// Composition runs when the component is registered and again when play begins. Each of its
// steps (Bake, SetMorphTargets, SetTextures, ApplyEdits) first validates the data it reads:
// data that breaks the step (a missing descriptor, an index outside the descriptor or the
// catalog, a character without a blend, an empty index list, a texture not loaded, a vertex
// cache or colour buffer shorter than the mesh, a shape frame beyond the rig) logs one error
// on LogTemp naming the character and the bad value, and the step changes nothing. The later
// steps still run, each checking for itself. Checks remain for broken programming contracts
// only, such as a mesh whose vertex buffers do not keep their CPU copies.

#include "Components/SkeletalMeshComponent.h"
#include "CoreMinimal.h"
#include "UObject/ObjectPtr.h"

#include "HCCompositeSkeletalMeshComponent.generated.h"

class UAnimSequence;
class UHCAssetCatalogData;
class UHCAttachmentVertexCacheData;
class UHCCharacterDescriptorData;
class UHCImageProcessor;
class UMaterialInstanceDynamic;
class UTexture2D;
class USkeletalMesh;
class USkinnedAsset;
struct FHCCharacterBlend;
struct FHCTextureExport;

/** The image processors of one mesh's texture-composition graph, in creation order; the last is the output. */
USTRUCT(BlueprintType)
struct VORPEX_API FImageProcessorArray
{
	GENERATED_BODY()

	UPROPERTY(Category = "Halcor")
	TArray<TObjectPtr<UHCImageProcessor>> ImageProcessors;
};

UCLASS(Config = Engine, EditInlineNew, HideCategories = (Object, "Mesh|SkeletalAsset", Mobility, Trigger))
class VORPEX_API UHCCompositeSkeletalMeshComponent : public USkeletalMeshComponent
{
	GENERATED_BODY()

public:
	/** One entry per animation frame, each one local transform per bone in reference-skeleton order. */
	using FRig = TArray<TArray<FTransform>>;

	UHCCompositeSkeletalMeshComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** Vertex caches whose opacities multiply into the body's vertex colours; null or empty entries are skipped. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<TObjectPtr<UHCAttachmentVertexCacheData>> AttachmentCullData;

	/** The character descriptor the character is taken from. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<UHCCharacterDescriptorData> CharacterDescriptorData = nullptr;

	/** The asset catalog the descriptor's indices point into. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<UHCAssetCatalogData> AssetCatalogData = nullptr;

	/** The character's group: an index into the descriptor's groups. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 GroupIndex = 0;

	/** Carried for the caller; composition does not read it. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString GroupName;

	/** The character: an index into the group's characters. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 CharacterIndex = 0;

	/** Carried for the caller; composition does not read it. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString CharacterName;

	/** Carried for the caller; composition does not read it. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<USkeletalMesh> TemplateSkeletalMesh = nullptr;

	/** Carried for the caller; composition does not read it. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<TObjectPtr<USkeletalMesh>> TemplateGarmetsSkeletalMeshes;

	/** Frame 0 fixes the bone count; frame k + 1 holds the skeleton of the shape asset whose shapeIndex is k. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<UAnimSequence> AnimationSequence = nullptr;

	/** Each body mesh's texture-composition graph by mesh name (letter case ignored); a new composition replaces it. */
	UPROPERTY(Category = "Halcor")
	TMap<FString, FImageProcessorArray> MeshNameToImageProcessorArray;

	/** The base registration, then the composition sequence. */
	void OnRegister() override;
	/** The base class's play start, then the composition sequence. */
	void BeginPlay() override;

	/**
	 * Debug aids drawn into the component's world until its next tick: a sphere at every bone of
	 * the skinned asset in the current pose (radius 5) and a line to its parent.
	 */
	void BoneDebugger(USkeletalMeshComponent* SkeletalMeshComponent) const;
	/**
	 * The same for Transforms, one local (parent-relative) transform per bone of the skinned
	 * asset (a failed check otherwise), as a rig frame or a blended pose holds them; radius 2.
	 */
	void BoneDebugger(USkeletalMeshComponent* SkeletalMeshComponent, const TArray<FTransform>& Transforms) const;
	/** Spheres of radius 2 and parent lines for the bones of the skinned asset in the current pose. */
	void BoneVisualizer(USkeletalMeshComponent* SkeletalMeshComponent) const;

protected:
	/** The composition sequence alone, for code that fills the properties after registration. */
	void DeferredInit();

	/** The rig step: the shape-blended reference pose on this component and on every skeletal mesh component below it. */
	void Bake();

	/** The texture step: the body's composed albedos and the garments' catalog textures, each in a dynamic material instance. */
	void SetTextures();

private:
	/** Bake, SetMorphTargets, SetTextures, ApplyEdits. */
	void RunCompositionSequence();

	/** The sequence without the rig step. */
	void CompositeCharacter();

	/** The blend's shape weights on this component and on every descendant with a morph target of that name. */
	void SetMorphTargets();

	/** Writes the product of the vertex caches' opacities into LOD 0's vertex colours (red), on the render thread. */
	void ApplyEdits();

	/** The character's first blend, or null after logging, for Step, why there is none. */
	const FHCCharacterBlend* FindCharacterBlend(const TCHAR* Step) const;
	/** Logs, for Step, an error naming the character and Problem. */
	void LogRefusal(const TCHAR* Step, const FString& Problem) const;

	/** Every frame of Animation sampled over Asset's skeleton; empty when either is missing. */
	FRig GetRig(const USkinnedAsset* Asset, const UAnimSequence* Animation) const;
	/** Installs the reference pose blended from Rig on Target. */
	void SetRig(USkeletalMeshComponent* Target, FRig Rig) const;
	/** The reference pose of RefSkeleton with the first blend's shape frames of Rig blended in, one local transform per bone. */
	TArray<FTransform> GetBoneTransformsForMorp(FReferenceSkeleton RefSkeleton, FRig Rig) const;
	/** Whether every shape frame and bone the blend's shape weights read exists in Rig and in Targets' skeletons; logs the first that does not. */
	bool ValidateRig(const FHCCharacterBlend& Blend, const FRig& Rig, const TArray<USkeletalMeshComponent*>& Targets) const;

	/**
	 * Composes, for every template render object that shape textures blend into, its albedo on the
	 * GPU and shows it in the body's material slot of the render object's first material name.
	 */
	void CompositeSkin(USkeletalMesh* BodyMesh);
	/** Builds under MeshName the graph whose output is the sum of Textures, each tinted by the grey level of its weight. */
	void BuildTextureCompositionGraph(FString MeshName, TArray<UTexture2D*> Textures, TArray<float> Weights);
	/** Sets the material parameter of Export's slot to the variation's catalog texture; other slots bind nothing. */
	void SetTextureToMaterial(UMaterialInstanceDynamic* MaterialInstance, const FHCTextureExport& Export, int32 Variation) const;

	/** Every skeletal mesh component attached below this one, depth first. */
	TArray<USkeletalMeshComponent*> GetDescendantSkeletalMeshes() const;

	/** The per-vertex colours culling gives LOD 0 of the body, or an empty array after logging why it cannot. */
	TArray<FColor> MakeCullColors() const;

	/** Spheres at the bones' component-space transforms and lines to their parents, in Component's world. */
	void DrawBones(const USkeletalMeshComponent& Component, const TArray<FTransform>& ComponentSpaceTransforms, float Radius) const;

	/** Carried for editor hosts; composition does not read it. */
	UPROPERTY(Category = "Halcor")
	bool IsEditing = true;
};
