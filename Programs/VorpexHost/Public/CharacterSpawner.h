#pragma once

#include "CoreMinimal.h"

class AActor;
class FProjectDescription;
class UHCEditableSkeletalMeshComponent;
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
	/** Ready to begin editing: it has the project's editor configuration and skin composition. */
	UHCEditableSkeletalMeshComponent* Body = nullptr;
	TArray<USkeletalMeshComponent*> Attachments;
};

/**
 * Spawns a project's editable character: the body as an editable skeletal mesh component
 * showing the project's body mesh, given the project's editor configuration and skin
 * composition, and the attachments as plain skeletal mesh components showing theirs, children
 * of the body. Editing is left to the program (BeginEditing).
 */
class VORPEXHOST_API FCharacterSpawner
{
public:
	/** Spawns the characters of Project, which must outlive the spawner. */
	explicit FCharacterSpawner(const FProjectDescription& InProject);

	/**
	 * Loads the project's meshes and editor data and spawns the character into World, its
	 * components registered (and playing when the world plays). False, with the reason in
	 * OutError naming project.json and the key whose object did not load, and nothing spawned,
	 * when a mesh or a data asset does not load or the world is being destroyed.
	 */
	bool Spawn(UWorld& World, FSpawnedCharacter& OutCharacter, FString& OutError) const;

	/**
	 * As Spawn, with only the attachments whose component names Worn lists (letter case
	 * counts, as the descriptor's names match them), in the project's order.
	 */
	bool SpawnWearing(UWorld& World, const TArray<FString>& Worn, FSpawnedCharacter& OutCharacter, FString& OutError) const;

private:
	const FProjectDescription& Project;
};
