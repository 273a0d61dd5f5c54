#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"

#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "RHICommandList.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "RenderingThread.h"

#include <cstring>
#include <utility>

namespace
{
	/** The red level culling writes for an opacity: 255 × opacity, truncated, and kept to eight bits. */
	uint8 OpacityLevel(float Opacity)
	{
		return static_cast<uint8>(static_cast<int64>(static_cast<double>(Opacity) * 255.0) & 0xFF);
	}

	/**
	 * Writes Colors into LOD's CPU colour copy and its GPU buffer, and refreshes the GPU position
	 * buffer from the CPU copy, which edits of the positions may have changed. A buffer without
	 * a GPU copy yet takes the CPU data when it is made.
	 */
	void WriteVertexColors(FSkeletalMeshLODRenderData& LOD, const TArray<FColor>& Colors)
	{
		FPositionVertexBuffer* PositionVB = &LOD.StaticVertexBuffers.PositionVertexBuffer;
		FColorVertexBuffer* ColorVB = &LOD.StaticVertexBuffers.ColorVertexBuffer;
		const FStaticMeshVertexBuffer* StaticVertexBuffer = &LOD.StaticVertexBuffers.StaticMeshVertexBuffer;
		check(PositionVB->GetAllowCPUAccess());
		check(ColorVB->GetAllowCPUAccess());
		check(StaticVertexBuffer->GetAllowCPUAccess());

		for (const FSkelMeshRenderSection& Section : LOD.RenderSections)
		{
			for (uint32 Offset = 0; Offset < Section.NumVertices; ++Offset)
			{
				const uint32 Vertex = Section.BaseVertexIndex + Offset;
				ColorVB->VertexColor(Vertex) = Colors[static_cast<int32>(Vertex)];
			}
		}

		FRHICommandListImmediate& RHICmdList = FRHICommandListImmediate::Get();
		const uint32 PositionBytes = PositionVB->GetVertexData() ? PositionVB->GetNumVertices() * PositionVB->GetStride() : 0;
		if (PositionVB->VertexBufferRHI && PositionBytes > 0)
		{
			void* Data = RHICmdList.LockBuffer(PositionVB->VertexBufferRHI, 0, PositionBytes, RLM_WriteOnly);
			std::memcpy(Data, PositionVB->GetVertexData(), PositionBytes);
			RHICmdList.UnlockBuffer(PositionVB->VertexBufferRHI);
		}
		const uint32 ColorBytes = ColorVB->GetAllocatedSize();
		if (ColorVB->VertexBufferRHI && ColorBytes > 0)
		{
			void* Data = RHICmdList.LockBuffer(ColorVB->VertexBufferRHI, 0, ColorBytes, RLM_WriteOnly);
			std::memcpy(Data, ColorVB->GetVertexData(), ColorBytes);
			RHICmdList.UnlockBuffer(ColorVB->VertexBufferRHI);
		}
	}
}

UHCCompositeSkeletalMeshComponent::UHCCompositeSkeletalMeshComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

void UHCCompositeSkeletalMeshComponent::OnRegister()
{
	Super::OnRegister();
	RunCompositionSequence();
}

void UHCCompositeSkeletalMeshComponent::BeginPlay()
{
	Super::BeginPlay();
	RunCompositionSequence();
}

void UHCCompositeSkeletalMeshComponent::DeferredInit()
{
	RunCompositionSequence();
}

void UHCCompositeSkeletalMeshComponent::RunCompositionSequence()
{
	Bake();
	CompositeCharacter();
}

void UHCCompositeSkeletalMeshComponent::CompositeCharacter()
{
	SetMorphTargets();
	SetTextures();
	ApplyEdits();
}

void UHCCompositeSkeletalMeshComponent::LogRefusal(const TCHAR* Step, const FString& Problem) const
{
	FString Character = FString::Printf(TEXT("character %d of group %d"), CharacterIndex, GroupIndex);
	if (CharacterDescriptorData && CharacterDescriptorData->groups.IsValidIndex(GroupIndex)
		&& CharacterDescriptorData->groups[GroupIndex].characters.IsValidIndex(CharacterIndex))
	{
		Character += FString::Printf(TEXT(" (\"%s\")"), *CharacterDescriptorData->groups[GroupIndex].characters[CharacterIndex].name);
	}
	UE_LOG(LogTemp, Error, TEXT("%s: %s: %s; the step is skipped."), Step, *Character, *Problem);
}

const FHCCharacterBlend* UHCCompositeSkeletalMeshComponent::FindCharacterBlend(const TCHAR* Step) const
{
	if (!CharacterDescriptorData)
	{
		LogRefusal(Step, TEXT("no character descriptor is set"));
		return nullptr;
	}
	const TArray<FHCGroups>& Groups = CharacterDescriptorData->groups;
	if (!Groups.IsValidIndex(GroupIndex))
	{
		LogRefusal(Step, FString::Printf(TEXT("GroupIndex %d is outside the descriptor's %d groups"), GroupIndex, Groups.Num()));
		return nullptr;
	}
	const TArray<FHCCharacter>& Characters = Groups[GroupIndex].characters;
	if (!Characters.IsValidIndex(CharacterIndex))
	{
		LogRefusal(Step, FString::Printf(TEXT("CharacterIndex %d is outside the group's %d characters"), CharacterIndex, Characters.Num()));
		return nullptr;
	}
	if (Characters[CharacterIndex].blends.IsEmpty())
	{
		LogRefusal(Step, TEXT("the character has no blend"));
		return nullptr;
	}
	// Only the first blend composes; any further blends are ignored.
	return &Characters[CharacterIndex].blends[0];
}

TArray<USkeletalMeshComponent*> UHCCompositeSkeletalMeshComponent::GetDescendantSkeletalMeshes() const
{
	TArray<USceneComponent*> Descendants;
	GetChildrenComponents(true, Descendants);
	TArray<USkeletalMeshComponent*> SkeletalMeshes;
	for (USceneComponent* Descendant : Descendants)
	{
		if (USkeletalMeshComponent* SkeletalMesh = Cast<USkeletalMeshComponent>(Descendant))
		{
			SkeletalMeshes.Add(SkeletalMesh);
		}
	}
	return SkeletalMeshes;
}

void UHCCompositeSkeletalMeshComponent::SetMorphTargets()
{
	const FHCCharacterBlend* Blend = FindCharacterBlend(TEXT("UHCCompositeSkeletalMeshComponent::SetMorphTargets"));
	if (!Blend)
	{
		return;
	}
	const TArray<USkeletalMeshComponent*> Descendants = GetDescendantSkeletalMeshes();
	for (const FHCShapeWeight& ShapeWeight : Blend->shapeWeights)
	{
		const FName MorphTargetName(*ShapeWeight.name);
		// The body keeps the weight even without such a morph target, so a mesh set later shows it.
		SetMorphTarget(MorphTargetName, ShapeWeight.weight, true);
		for (USkeletalMeshComponent* Descendant : Descendants)
		{
			if (Descendant->FindMorphTarget(MorphTargetName))
			{
				Descendant->SetMorphTarget(MorphTargetName, ShapeWeight.weight, true);
			}
		}
	}
}

void UHCCompositeSkeletalMeshComponent::ApplyEdits()
{
	TArray<FColor> Colors = MakeCullColors();
	if (Colors.IsEmpty())
	{
		return;
	}
	// The colours are worked out here, from the caches as they are now, so the render thread
	// reads nothing the game thread may change meanwhile; the render data outlives the
	// command, as the asset is released only after the render thread is done with it.
	FSkeletalMeshLODRenderData* LOD = &GetSkeletalMeshAsset()->GetResourceForRendering()->LODRenderData[0];
	ENQUEUE_RENDER_COMMAND(LockAndModifyVertexBuffer)(
		[LOD, Colors = std::move(Colors)](FRHICommandListImmediate&) { WriteVertexColors(*LOD, Colors); });
	MarkRenderStateDirty();
}

TArray<FColor> UHCCompositeSkeletalMeshComponent::MakeCullColors() const
{
	const TCHAR* Step = TEXT("UHCCompositeSkeletalMeshComponent::ApplyEdits");
	const USkeletalMesh* Mesh = GetSkeletalMeshAsset();
	const FSkeletalMeshRenderData* RenderData = Mesh ? Mesh->GetResourceForRendering() : nullptr;
	if (!RenderData || RenderData->LODRenderData.IsEmpty())
	{
		LogRefusal(Step, TEXT("the skeletal mesh has no LOD 0 render data to cull"));
		return {};
	}
	const FSkeletalMeshLODRenderData& LOD = RenderData->LODRenderData[0];
	const FPositionVertexBuffer* PositionVB = &LOD.StaticVertexBuffers.PositionVertexBuffer;
	const FColorVertexBuffer* ColorVB = &LOD.StaticVertexBuffers.ColorVertexBuffer;
	const FStaticMeshVertexBuffer* StaticVertexBuffer = &LOD.StaticVertexBuffers.StaticMeshVertexBuffer;
	check(PositionVB->GetAllowCPUAccess());
	check(ColorVB->GetAllowCPUAccess());
	check(StaticVertexBuffer->GetAllowCPUAccess());

	uint32 VertexCount = 0;
	for (const FSkelMeshRenderSection& Section : LOD.RenderSections)
	{
		VertexCount = FMath::Max(VertexCount, Section.BaseVertexIndex + Section.NumVertices);
	}
	if (ColorVB->GetNumVertices() < VertexCount)
	{
		LogRefusal(Step, FString::Printf(TEXT("the colour buffer holds %u vertex colours for %u vertices"), ColorVB->GetNumVertices(), VertexCount));
		return {};
	}
	for (const UHCAttachmentVertexCacheData* Cache : AttachmentCullData)
	{
		if (Cache && !Cache->VertexOpacity.IsEmpty() && static_cast<uint32>(Cache->VertexOpacity.Num()) < VertexCount)
		{
			LogRefusal(Step, FString::Printf(TEXT("vertex cache %s holds %d opacities for %u vertices"), *Cache->GetPathName(),
									 Cache->VertexOpacity.Num(), VertexCount));
			return {};
		}
	}

	// Vertices in no render section keep their colour; the command writes section vertices only.
	TArray<FColor> Colors;
	Colors.SetNum(static_cast<int32>(VertexCount));
	for (const FSkelMeshRenderSection& Section : LOD.RenderSections)
	{
		for (uint32 Offset = 0; Offset < Section.NumVertices; ++Offset)
		{
			const int32 Vertex = static_cast<int32>(Section.BaseVertexIndex + Offset);
			float Opacity = 1.0f;
			for (const UHCAttachmentVertexCacheData* Cache : AttachmentCullData)
			{
				if (Cache && !Cache->VertexOpacity.IsEmpty())
				{
					Opacity *= Cache->VertexOpacity[Vertex];
				}
			}
			Colors[Vertex] = FColor(OpacityLevel(Opacity), 0, 0, 255);
		}
	}
	return Colors;
}
