#pragma once

// The skeletal mesh component a character is edited on. BeginEditing creates the editor's
// models and controllers and shows the texture-editing results in the mesh's materials; while
// editing lasts, every tick pushes what the sliders changed into the mesh and its materials.
// The body under attachments is hidden through the materials' cull masks and a texture of
// per-vertex opacities.

#include "Components/SkeletalMeshComponent.h"
#include "CoreMinimal.h"
#include "DataAssets/HCEnumerations.h"
#include "Engine/Texture2D.h"
#include "RenderCommandFence.h"
#include "UObject/ObjectPtr.h"

#include "HCEditableSkeletalMeshComponent.generated.h"

class UHCAttachmentCullMaskData;
class UHCAttachmentVertexCacheData;
class UHCCharacterEditorConfigData;
class UHCCharacterEditorSkinCompositionData;
class UHCMorphShapingController;
class UHCMorphShapingModel;
class UHCTextureEditingController;
class UHCTextureEditingModel;
class UMaterialInstanceDynamic;

UCLASS(Config = Engine, EditInlineNew, HideCategories = (Object, "Mesh|SkeletalAsset", Mobility, Trigger))
class VORPEX_API UHCEditableSkeletalMeshComponent : public USkeletalMeshComponent
{
	GENERATED_BODY()

public:
	UHCEditableSkeletalMeshComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** Initial until BeginEditing, Editing until FinishEditing, then Finished for good. */
	UPROPERTY(BlueprintReadOnly, Category = "Halcor")
	EHCEditableSkeletalMeshComponentState State = EHCEditableSkeletalMeshComponentState::ESMCS_Initial;

	/** The character editor configuration, for the morph model and both controllers. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TObjectPtr<UHCCharacterEditorConfigData> CEConfigData = nullptr;

	/** The skin composition, for the texture model and its controller. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TObjectPtr<UHCCharacterEditorSkinCompositionData> SkinCompositionEditorData = nullptr;

	/**
	 * Starts editing (only from Initial; a failed check otherwise): creates the morph and
	 * texture models and controllers for the skeletal mesh set now, gives every material slot
	 * the texture model edits a dynamic material instance showing the edited albedo
	 * ("BC_Texture") and the vertex-indexed culling texture ("CM_Texture"), and resets the
	 * colour pickers to their configured start colours.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor", meta = (ToolTip = "Called before the editable character is edited"))
	void BeginEditing();

	/** Applies pending edits when editing, then ends editing for good; the models stay readable. */
	UFUNCTION(BlueprintCallable, Category = "Halcor", meta = (ToolTip = "Called after the editable character is done being edited"))
	void FinishEditing();

	/**
	 * Shows the cull masks of an attachment: every material BeginEditing bound first gets the
	 * white default mask back as "CM_Texture", then each one AttachmentCullMaskData names (letter
	 * case ignored) its mask. Null clears all culling; names without a bound material are ignored.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor", meta = (ToolTip = "Applies culling mask data (map of textures) to the skeletal mesh component"))
	void ApplyCullMasks(UHCAttachmentCullMaskData* AttachmentCullMaskData);

	/**
	 * Writes a vertex cache's opacities into the culling texture BeginEditing made, a grey level
	 * per LOD 0 vertex (255 × opacity, truncated, opacities limited to [0, 1]); texels of no vertex
	 * and, with a null cache, all texels are opaque white. Checked before anything changes: the
	 * texture exists, is square and holds every vertex, LOD 0 keeps its vertex data on the CPU,
	 * its sections stay within its vertices, and the cache has an opacity for each of them. Waits
	 * for the previous upload of the texture to have run before it rewrites the texels.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor", meta = (ToolTip = "Applies culling data to the skeletal mesh component"))
	void ApplyCullData(UHCAttachmentVertexCacheData* AtthVertexCacheData);

	/** The editor objects BeginEditing created; null before it. */
	UHCMorphShapingController* getMorphShapingController() const { return MorphShapingController; }
	UHCMorphShapingModel* getMorphShapingModel() const { return MorphShapingModel; }
	UHCTextureEditingController* getTextureEditingController() const { return TextureEditingController; }
	UHCTextureEditingModel* getTextureEditingModel() const { return TextureEditingModel; }

	/** While editing, applies the models' pending changes after the base tick. */
	void TickComponent(float DeltaTime, ELevelTick TickType, FActorComponentTickFunction* ThisTickFunction) override;

	/** Waits until no queued upload reads the component's texel buffers any more. */
	void BeginDestroy() override;

private:
	/** Texture changes, then morph changes (each only when its model is dirty), then a render-state refresh. */
	void ApplyEdits();

	/** The 16 × 16 opaque white mask for materials that no attachment culls. */
	void CreateDefaultCullMask();

	/** The square, all-visible texture with one texel per LOD 0 vertex that culling data is written into. */
	void CreateUserDataTexture();

	/** The morph model and controller, then the texture model and controller, wired together. */
	void CreateEditorObjects();

	/** A dynamic material instance for every material slot the texture model edits. */
	void BindMaterialSlots();

	/**
	 * Queues UserDataPixels for upload into the whole of UserDataTexture_0. The render thread
	 * reads the pixels when it runs the upload, so they must not change before TexelUploadFence
	 * completes.
	 */
	void UploadUserData();

	/** The culling texels of LOD 0's vertices under Cache (every vertex visible without one); checks that they can be shown. */
	TArray<FColor> MakeCullTexels(const UHCAttachmentVertexCacheData* Cache) const;

	UPROPERTY(Category = "Halcor")
	TObjectPtr<UHCTextureEditingModel> TextureEditingModel = nullptr;

	UPROPERTY(Category = "Halcor")
	TObjectPtr<UHCTextureEditingController> TextureEditingController = nullptr;

	UPROPERTY(Category = "Halcor")
	TObjectPtr<UHCMorphShapingModel> MorphShapingModel = nullptr;

	UPROPERTY(Category = "Halcor")
	TObjectPtr<UHCMorphShapingController> MorphShapingController = nullptr;

	/** The vertex cache ApplyCullData last showed; null when it showed every vertex. */
	UPROPERTY(Category = "Halcor")
	TObjectPtr<UHCAttachmentVertexCacheData> AttachmentVertexCacheData = nullptr;

	/** Square, W × W at least the LOD 0 vertex count; texel v (row v / W, column v % W) belongs to vertex v. */
	UPROPERTY(Category = "Halcor")
	TObjectPtr<UTexture2D> UserDataTexture_0 = nullptr;

	UPROPERTY(Category = "Halcor")
	TObjectPtr<UTexture2D> DefaultCullMask = nullptr;

	/** By material slot name as the mesh spells it (keys compare without letter case); a null value where no instance could be made. */
	UPROPERTY(Category = "Halcor")
	TMap<FString, TObjectPtr<UMaterialInstanceDynamic>> MaterialNameToDynamicMaterialInstance;

	// The render thread reads the texels and regions of a texture upload after the call that
	// queued it has returned, so they live as long as the component.
	TArray<FColor> DefaultCullMaskPixels;
	FUpdateTextureRegion2D TextureUpdateRegion;
	TArray<FColor> UserDataPixels;
	FUpdateTextureRegion2D UserDataUpdateRegion;
	/** Begun after every upload from the buffers above; once it completes they may change or go. */
	FRenderCommandFence TexelUploadFence;
};
