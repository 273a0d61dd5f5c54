#pragma once

#include "CoreMinimal.h"

class AActor;
class FProjectDescription;
class UHCAssetCatalogData;
class UHCCharacterDescriptorData;
class UHCCompositeSkeletalMeshComponent;
class USkeletalMeshComponent;
class UWorld;

/** One character of the project's descriptor, by its place there and its names. */
struct FDescriptorCharacter
{
	int32 GroupIndex = 0;
	int32 CharacterIndex = 0;
	FString GroupName;
	FString CharacterName;
	/** The component names of the project attachments the character wears, in the project's order. */
	TArray<FString> Garments;
};

/**
 * What spawning a composite character made: one actor whose root is the composite body, with a
 * child component for each project attachment the character wears, in the project's order.
 */
struct FSpawnedComposite
{
	AActor* Actor = nullptr;
	UHCCompositeSkeletalMeshComponent* Body = nullptr;
	TArray<USkeletalMeshComponent*> Garments;
};

/**
 * Spawns the characters of a project's descriptor as composite characters: the body as a
 * composite skeletal mesh component configured with the project's descriptor, catalog and rig
 * animation, and, below it, a skeletal mesh component for each attachment the character's first
 * blend lists by component name (names compare exactly, as the composition matches them), whose
 * vertex caches cull the body. Registering the body composes the character.
 */
class VORPEXHOST_API FCompositeCharacterSpawner
{
public:
	/** Spawns the characters of Project, which must outlive the spawner. */
	explicit FCompositeCharacterSpawner(const FProjectDescription& InProject);

	/**
	 * The descriptor's characters in order, groups first. False, with the reason in OutError,
	 * when the descriptor does not load.
	 */
	bool ListCharacters(TArray<FDescriptorCharacter>& OutCharacters, FString& OutError) const;

	/**
	 * Loads what Character needs and spawns it into World, which composes it. False, with the
	 * reason in OutError and nothing spawned, when a file does not load, the character is not in
	 * the descriptor or the world is being destroyed.
	 */
	bool Spawn(UWorld& World, const FDescriptorCharacter& Character, FSpawnedComposite& OutComposite, FString& OutError) const;

private:
	UHCCharacterDescriptorData* LoadDescriptor(FString& OutError) const;

	const FProjectDescription& Project;
};
