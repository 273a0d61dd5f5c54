#include "CompositeCharacterSpawner.h"

#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"
#include "Animation/AnimSequence.h"
#include "Components/SkeletalMeshComponent.h"
#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include "ProjectDescription.h"
#include "ProjectObjectLoader.h"

namespace
{
	/** The project's attachments that the character's first blend lists; none without a blend. */
	TArray<const FProjectAttachment*> WornAttachments(const FProjectDescription& Project, const FHCCharacter& Character)
	{
		TArray<const FProjectAttachment*> Worn;
		if (Character.blends.IsEmpty())
		{
			return Worn;
		}
		for (const FProjectAttachment& Attachment : Project.Attachments)
		{
			for (const FHCDeformableAssetsIndex& Listed : Character.blends[0].deformableAssetsIndices)
			{
				if (Listed.name.Equals(Attachment.Component, ESearchCase::CaseSensitive))
				{
					Worn.Add(&Attachment);
					break;
				}
			}
		}
		return Worn;
	}

	/** A worn attachment's loaded mesh and vertex cache (null when the project gives none). */
	struct FLoadedGarment
	{
		const FProjectAttachment* Attachment = nullptr;
		USkeletalMesh* Mesh = nullptr;
		UHCAttachmentVertexCacheData* VertexCache = nullptr;
	};
}

FCompositeCharacterSpawner::FCompositeCharacterSpawner(const FProjectDescription& InProject)
	: Project(InProject)
{
}

UHCCharacterDescriptorData* FCompositeCharacterSpawner::LoadDescriptor(FString& OutError) const
{
	return LoadProjectObject<UHCCharacterDescriptorData>(Project, Project.Descriptor, TEXT("the character descriptor"), TEXT("descriptor"), OutError);
}

bool FCompositeCharacterSpawner::ListCharacters(TArray<FDescriptorCharacter>& OutCharacters, FString& OutError) const
{
	const UHCCharacterDescriptorData* Descriptor = LoadDescriptor(OutError);
	if (!Descriptor)
	{
		return false;
	}
	TArray<FDescriptorCharacter> Characters;
	for (int32 GroupIndex = 0; GroupIndex < Descriptor->groups.Num(); ++GroupIndex)
	{
		const TArray<FHCCharacter>& GroupCharacters = Descriptor->groups[GroupIndex].characters;
		for (int32 CharacterIndex = 0; CharacterIndex < GroupCharacters.Num(); ++CharacterIndex)
		{
			FDescriptorCharacter& Character =
				Characters.Add_GetRef({GroupIndex, CharacterIndex, GroupCharacters[CharacterIndex].group, GroupCharacters[CharacterIndex].name});
			for (const FProjectAttachment* Attachment : WornAttachments(Project, GroupCharacters[CharacterIndex]))
			{
				Character.Garments.Add(Attachment->Component);
			}
		}
	}
	OutCharacters = std::move(Characters);
	return true;
}

bool FCompositeCharacterSpawner::Spawn(UWorld& World, const FDescriptorCharacter& Character, FSpawnedComposite& OutComposite, FString& OutError) const
{
	// Everything loads before anything is spawned, so a failure leaves nothing behind.
	UHCCharacterDescriptorData* Descriptor = LoadDescriptor(OutError);
	if (!Descriptor)
	{
		return false;
	}
	if (!Descriptor->groups.IsValidIndex(Character.GroupIndex) || !Descriptor->groups[Character.GroupIndex].characters.IsValidIndex(Character.CharacterIndex))
	{
		OutError = FString::Printf(TEXT("%s: the character descriptor %s has no character %d in group %d"), *Project.File, *Project.Descriptor,
			Character.CharacterIndex, Character.GroupIndex);
		return false;
	}
	auto* Catalog = LoadProjectObject<UHCAssetCatalogData>(Project, Project.Catalog, TEXT("the asset catalog"), TEXT("catalog"), OutError);
	auto* BodyMesh = Catalog ? LoadProjectObject<USkeletalMesh>(Project, Project.Body, TEXT("the skeletal mesh"), TEXT("body"), OutError) : nullptr;
	if (!BodyMesh)
	{
		return false;
	}
	UAnimSequence* Animation = nullptr;
	if (!Project.Animation.IsEmpty())
	{
		Animation = LoadProjectObject<UAnimSequence>(Project, Project.Animation, TEXT("the animation"), TEXT("animation"), OutError);
		if (!Animation)
		{
			return false;
		}
	}
	TArray<FLoadedGarment> Garments;
	for (const FProjectAttachment* Attachment : WornAttachments(Project, Descriptor->groups[Character.GroupIndex].characters[Character.CharacterIndex]))
	{
		const FString Place = FString::Printf(TEXT("attachments[%d]"), int32(Attachment - Project.Attachments.GetData()));
		FLoadedGarment Garment{Attachment, LoadProjectObject<USkeletalMesh>(Project, Attachment->Mesh, TEXT("the skeletal mesh"), Place + TEXT(".mesh"), OutError)};
		if (!Garment.Mesh)
		{
			return false;
		}
		if (!Attachment->VertexCache.IsEmpty())
		{
			Garment.VertexCache = LoadProjectObject<UHCAttachmentVertexCacheData>(Project, Attachment->VertexCache, TEXT("the vertex cache"),
				Place + TEXT(".vertexCache"), OutError);
			if (!Garment.VertexCache)
			{
				return false;
			}
		}
		Garments.Add(Garment);
	}

	AActor* Actor = World.SpawnActor<AActor>();
	if (!Actor)
	{
		OutError = FString::Printf(TEXT("%s: %s cannot be spawned: the world is being destroyed"), *Project.File, *Character.CharacterName);
		return false;
	}
	FSpawnedComposite Composite;
	Composite.Actor = Actor;
	UHCCompositeSkeletalMeshComponent* Body = NewObject<UHCCompositeSkeletalMeshComponent>(Actor, FName(FProjectDescription::BodyComponentName));
	Body->SetSkeletalMeshAsset(BodyMesh);
	Body->CharacterDescriptorData = Descriptor;
	Body->AssetCatalogData = Catalog;
	Body->GroupIndex = Character.GroupIndex;
	Body->GroupName = Character.GroupName;
	Body->CharacterIndex = Character.CharacterIndex;
	Body->CharacterName = Character.CharacterName;
	Body->TemplateSkeletalMesh = BodyMesh;
	Body->AnimationSequence = Animation;
	Actor->SetRootComponent(Body);
	for (const FLoadedGarment& Garment : Garments)
	{
		USkeletalMeshComponent* Component = NewObject<USkeletalMeshComponent>(Actor, FName(*Garment.Attachment->Component));
		Component->SetSkeletalMeshAsset(Garment.Mesh);
		Component->SetupAttachment(Body);
		Body->TemplateGarmetsSkeletalMeshes.Add(Garment.Mesh);
		if (Garment.VertexCache)
		{
			Body->AttachmentCullData.Add(Garment.VertexCache);
		}
		Composite.Garments.Add(Component);
	}
	Composite.Body = Body;
	// The body composes as it registers, with its garments attached already.
	Actor->RegisterAllComponents();
	OutComposite = std::move(Composite);
	return true;
}
