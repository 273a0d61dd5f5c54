#pragma once

// Helpers for the editable-component tests: a component that records what each tick does to
// it, meshes with a given vertex count, material slots, morph targets and render sections, the
// component's private properties read through reflection, textures read back from the GPU, and
// a world to register and tick components in.

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "CoreMinimal.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/World.h"
#include "HCMorphShapingTestSupport.h"
#include "HCTextureEditingTestSupport.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Models/HCMorphShapingModel.h"
#include "Models/HCTextureEditingModel.h"
#include "RHICommandList.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "RenderingThread.h"
#include "TextureResource.h"
#include "UObject/UnrealType.h"

#include <initializer_list>
#include <utility>
#include <vector>

#include "HCEditableComponentTestSupport.generated.h"

/**
 * Records, in order, every morph-weight push ("morphs") and render-state refresh ("render
 * state") it receives, each with the models' dirty flags at that moment; repeats of the same
 * line are recorded once.
 */
UCLASS()
class UHCRecordingEditableComponent : public UHCEditableSkeletalMeshComponent
{
	GENERATED_BODY()

public:
	TArray<FString> Events;

	void MarkRenderStateDirty() override
	{
		Record(TEXT("render state"));
		Super::MarkRenderStateDirty();
	}

protected:
	void RefreshMorphTargets() override
	{
		Record(TEXT("morphs"));
		Super::RefreshMorphTargets();
	}

private:
	void Record(const TCHAR* What)
	{
		const auto Flag = [](const auto* Model) { return Model ? (Model->IsMarkedDirty() ? TEXT("dirty") : TEXT("clean")) : TEXT("none"); };
		const FString Line = FString::Printf(TEXT("%s (texture %s, morph %s)"), What, Flag(getTextureEditingModel()), Flag(getMorphShapingModel()));
		if (Events.IsEmpty() || Events.Last() != Line)
		{
			Events.Add(Line);
		}
	}
};

namespace HCEditableComponentTest
{
	/** A slot of a test mesh: its name, and whether it has a material to make an instance of. */
	struct FSlot
	{
		const TCHAR* Name;
		bool bHasMaterial = true;
	};

	/** A mesh with VertexCount LOD 0 vertices (none: no render data at all), these slots and these morph targets. */
	inline USkeletalMesh* MakeMesh(int32 VertexCount, std::initializer_list<FSlot> Slots, std::initializer_list<const TCHAR*> MorphTargetNames)
	{
		USkeletalMesh* Mesh = HCMorphShapingTest::MakeMesh(MorphTargetNames);
		TArray<FSkeletalMaterial> Materials;
		for (const FSlot& Slot : Slots)
		{
			Materials.Add(FSkeletalMaterial(Slot.bHasMaterial ? NewObject<UMaterial>(Mesh) : nullptr, FName(Slot.Name)));
		}
		Mesh->SetMaterials(Materials);
		if (VertexCount > 0)
		{
			TArray<FVector3f> Positions;
			Positions.SetNum(VertexCount);
			Mesh->AllocateResourceForRendering();
			Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef().StaticVertexBuffers.PositionVertexBuffer.Init(Positions, true);
		}
		return Mesh;
	}

	/**
	 * Gives LOD 0 of a MakeMesh mesh its tangent and UV buffer over all its vertices, kept on the
	 * CPU or not, and render sections of (first vertex, vertex count). Before the mesh is shown.
	 */
	inline void AddRenderSections(USkeletalMesh* Mesh, std::initializer_list<std::pair<uint32, uint32>> Sections, bool bCPUAccess = true)
	{
		FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];
		LOD.StaticVertexBuffers.StaticMeshVertexBuffer.Init(LOD.GetNumVertices(), 1, bCPUAccess);
		for (const auto& [BaseVertex, VertexCount] : Sections)
		{
			FSkelMeshRenderSection& Section = LOD.RenderSections.AddDefaulted_GetRef();
			Section.BaseVertexIndex = BaseVertex;
			Section.NumVertices = VertexCount;
		}
	}

	/** Mip 0 of a texture's GPU copy, as raw bytes. */
	inline std::vector<uint8> ReadGpuTexels(const UTexture2D* Texture)
	{
		const FTextureResource* Resource = Texture->GetResource();
		TArray<uint8> Bytes;
		ENQUEUE_RENDER_COMMAND(ReadGpuTexels)([Resource, &Bytes](FRHICommandListImmediate& RHICmdList) { RHICmdList.ReadTexture(Resource->TextureRHI, Bytes); });
		FlushRenderingCommands();
		return std::vector<uint8>(Bytes.GetData(), Bytes.GetData() + Bytes.Num());
	}

	/** A private reflected property of the component, read as the garbage collector reads it. */
	template <typename ValueType>
	const ValueType& PrivateProperty(const UHCEditableSkeletalMeshComponent* Component, const TCHAR* Name)
	{
		const FProperty* Property = UHCEditableSkeletalMeshComponent::StaticClass()->FindPropertyByName(FName(Name));
		check(Property);
		return *Property->ContainerPtrToValuePtr<ValueType>(Component);
	}

	inline UTexture2D* UserDataTexture(const UHCEditableSkeletalMeshComponent* Component)
	{
		return PrivateProperty<TObjectPtr<UTexture2D>>(Component, TEXT("UserDataTexture_0"));
	}

	inline UTexture2D* DefaultCullMask(const UHCEditableSkeletalMeshComponent* Component)
	{
		return PrivateProperty<TObjectPtr<UTexture2D>>(Component, TEXT("DefaultCullMask"));
	}

	inline const TMap<FString, TObjectPtr<UMaterialInstanceDynamic>>& MaterialInstances(const UHCEditableSkeletalMeshComponent* Component)
	{
		return PrivateProperty<TMap<FString, TObjectPtr<UMaterialInstanceDynamic>>>(Component, TEXT("MaterialNameToDynamicMaterialInstance"));
	}

	/** The texture an instance shows through Parameter. */
	inline UTexture* TextureParameter(UMaterialInstanceDynamic* Instance, const TCHAR* Parameter)
	{
		return Instance->K2_GetTextureParameterValue(FName(Parameter));
	}
}

/** A played world to register components in, on top of the texture-editing test's content mount. */
class HCEditableComponentWorldTest : public HCTextureEditingTest
{
protected:
	void SetUp() override
	{
		HCTextureEditingTest::SetUp();
		World = UWorld::CreateWorld(EWorldType::Game);
		World->BeginPlay();
	}

	void TearDown() override
	{
		World->DestroyWorld();
		HCTextureEditingTest::TearDown();
	}

	/** A recording component of Mesh, with the two configuration assets, registered with the world. */
	UHCRecordingEditableComponent* Spawn(USkeletalMesh* Mesh, UHCCharacterEditorConfigData* Config, UHCCharacterEditorSkinCompositionData* Skin)
	{
		UHCRecordingEditableComponent* Component = NewObject<UHCRecordingEditableComponent>();
		Component->SetSkeletalMeshAsset(Mesh);
		Component->CEConfigData = Config;
		Component->SkinCompositionEditorData = Skin;
		Component->RegisterComponentWithWorld(World);
		Component->Events.Empty();
		return Component;
	}

	/** One frame of the world. */
	void Tick()
	{
		World->Tick(LEVELTICK_All, 1.0f / 60.0f);
	}

	UWorld* World = nullptr;
};
