#pragma once

// The texture-editing model: the skin composition's processor stacks turned into graphs of
// image processors, one graph per stack, whose result render targets are the edited material
// textures of the component's meshes. The texture-editing controller changes the exposed
// processors and runs the results; the model never runs anything itself.

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Models/HCTextureEditingBindingKey.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include "HCTextureEditingModel.generated.h"

class UHCCharacterEditorSkinCompositionData;
class UHCColorize;
class UHCImageTexture;
class USkeletalMesh;

/** The graph of one processor stack. */
USTRUCT()
struct VORPEX_API FHCTextureEditingProcessorStack
{
	GENERATED_BODY()

	/** Every processor made for this stack, in creation order; the last one is the stack's result. */
	UPROPERTY()
	TArray<TObjectPtr<UHCImageProcessor>> ImageProcessorNodes;

	/**
	 * The processors the editor and the saved edit states address by index: at most one entry
	 * per configured processor (null for an image texture, none for an "ArmToMads" swizzle).
	 */
	UPROPERTY()
	TArray<TObjectPtr<UHCImageProcessor>> InterfaceProcessors;
};

/** The graphs of one skin-composition component, by stack index. */
USTRUCT()
struct VORPEX_API FHCTextureEditingComponent
{
	GENERATED_BODY()

	UPROPERTY()
	TArray<FHCTextureEditingProcessorStack> ImageProcessorStacks;
};

UCLASS(BlueprintType, Blueprintable)
class VORPEX_API UHCTextureEditingModel : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Rebuilds every graph from the skin composition; Mesh is not used. Every node gets a
	 * 4096 × 4096 result (vorpex.TextureEditing.ResultSize asks for another size). A configuration the graphs cannot be built from is reported with one
	 * error on LogTemp naming its component, stack and processor, and leaves the model empty.
	 */
	void Initialize(UHCCharacterEditorSkinCompositionData* SkinCompositionData, USkeletalMesh* Mesh);

	/** The render target bound to Key; Key must be bound (see SupportsMesh). */
	UTextureRenderTarget2D* GetMeshRenderTarget(const FHCTextureEditingBindingKey& Key);

	bool SupportsMesh(const FHCTextureEditingBindingKey& Key) const;

	/** True while processor parameters changed since the graphs last ran. */
	bool IsMarkedDirty() const { return bDirty; }

	/** The graphs, by component and stack index of the skin composition. */
	const TArray<FHCTextureEditingComponent>& GetImageProcessorComponents() const { return ImageProcessorComponents; }

	/** The results of the stacks that have a material key: what a batch runs. */
	const TSet<TObjectPtr<UHCImageProcessor>>& GetResultNodes() const { return ResultNodes; }

	/** Which result render target shows which mesh's material slot. */
	const TMap<FHCTextureEditingBindingKey, TObjectPtr<UTextureRenderTarget2D>>& GetBindings() const { return BindingToRenderTarget; }

	/** The package folder of the skin composition, which relative texture paths start from. */
	const FString& GetDataDirectory() const { return DataDirectory; }

	/**
	 * The colorize that colour pickers and saved edit states address as interface processor
	 * ProcessorIndex of stack StackIndex of component ComponentIndex; null when an index is
	 * outside its array or the processor there is not a colorize.
	 */
	UHCColorize* FindInterfaceColorize(int64 ComponentIndex, int64 StackIndex, int64 ProcessorIndex) const;

private:
	/** Builds the graphs of every component without giving any node its render target; false (with ConfigurationError set) when the configuration is invalid. */
	bool BuildGraphs(const UHCCharacterEditorSkinCompositionData& SkinCompositionData);

	UHCImageProcessor* AddImageProcessor(const FString& BlendMode, const TArray<FString>& stringParams, const TArray<int32>& intParams, UHCImageProcessor* Chain);
	UHCImageProcessor* AddSwizzleProcessor(const FString& BlendMode, const TArray<FString>& stringParams, const TArray<int32>& intParams, UHCImageProcessor* Chain);
	UHCImageProcessor* AddColorizeProcessor(const FString& BlendMode, const TArray<FString>& stringParams, const TArray<int32>& intParams, UHCImageProcessor* Chain);
	UHCImageProcessor* AddOptionalBlending(const FString& BlendMode, UHCImageProcessor* Base, UHCImageProcessor* Layer);
	UHCImageProcessor* AddBlendingProcessor(UHCImageProcessor* A, UHCImageProcessor* B, UHCImageProcessor* Mask);
	void SetImageTextureInputTexture(UHCImageTexture* Processor, const FString& RelativePath);

	/** A new image texture appended to the current stack, reading the texture at RelativePath. */
	UHCImageTexture* AddImageTexture(const FString& RelativePath);

	/** The result so far of an earlier stack of the current component; null (with ConfigurationError set) when there is none. */
	UHCImageProcessor* StackReference(int32 StackIndex);

	/** Records why the configuration is invalid and returns null, for the graph-building functions to pass up. */
	UHCImageProcessor* Reject(const FString& Reason);

	/** Set by the controller when it changes a parameter, cleared when it runs the results. */
	bool bDirty = false;

	FString DataDirectory;

	/** Build cursors, meaningful only inside Initialize. */
	FHCTextureEditingComponent* CurrentComponent = nullptr;
	FHCTextureEditingProcessorStack* CurrentStack = nullptr;

	UPROPERTY()
	TMap<FHCTextureEditingBindingKey, TObjectPtr<UTextureRenderTarget2D>> BindingToRenderTarget;

	UPROPERTY()
	TArray<FHCTextureEditingComponent> ImageProcessorComponents;

	UPROPERTY()
	TSet<TObjectPtr<UHCImageProcessor>> ResultNodes;

	/** Why the last build stopped; only meaningful inside Initialize. */
	FString ConfigurationError;

	/** The controller sets colours, marks the model dirty and runs the results. */
	friend class UHCTextureEditingController;
	/** The serializer restores saved colours and marks them for the next run. */
	friend class UHCModelSerializer;
};
