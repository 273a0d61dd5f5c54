#pragma once

#include "CoreMinimal.h"

class AActor;
class FProjectDescription;
class USkeletalMesh;
class USkeletalMeshComponent;
class UWorld;

/**
 * What spawning made: one actor whose root component is the body, with one child component per
 * project attachment, named after the attachment, in the project's order. The world keeps them
 * alive while the actor is in it.
 */
struct FSpawnedCharacter
{
	AActor* Actor = nullptr;
	USkeletalMeshComponent* Body = nullptr;
	TArray<USkeletalMeshComponent*> Attachments;
};

/**
 * Spawns a project's editable character: the body, configured for editing with the project's
 * editor configuration and skin composition, and its attachments as child components.
 *
 * Until the editable skeletal mesh component is part of the module, the body is a plain
 * skeletal mesh component showing the project's body mesh and carries no editing configuration;
 * the attachments are plain skeletal mesh components showing theirs. This class is the one place
 * that changes when the body becomes the editable component.
 */
class VORPEXHOST_API FCharacterSpawner
{
public:
	/** Spawns the characters of Project, which must outlive the spawner. */
	explicit FCharacterSpawner(const FProjectDescription& InProject);

	/**
	 * Loads the project's meshes and spawns the character into World, its components registered
	 * (and playing when the world plays). False, with the reason in OutError naming project.json
	 * and the key whose mesh did not load, and nothing spawned, when a mesh does not load or the
	 * world is being destroyed.
	 */
	bool Spawn(UWorld& World, FSpawnedCharacter& OutCharacter, FString& OutError) const;

private:
	USkeletalMesh* LoadMesh(const FString& ObjectPath, const FString& Place, FString& OutError) const;

	const FProjectDescription& Project;
};
