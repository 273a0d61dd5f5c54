#pragma once

#include "CharacterSpawner.h"
#include "CompositeCharacterSpawner.h"
#include "CoreMinimal.h"
#include "ProjectDescription.h"
#include "Templates/UniquePtr.h"

class FHostEngine;
class FScopedContentMount;
class UWorld;

/**
 * An open project and its world; the one place a program opens a project.
 *
 * Open reads and checks project.json, starts the Vorpex module (through the engine), mounts the
 * project's Content folder at /Game/, checks that every object path of the project names a
 * file, and creates a game world that has begun play. The program then spawns the character,
 * ticks the world and collects garbage between ticks. Close (or the destructor) destroys the
 * world, collects what it held and unmounts the content; the engine's ShutDown ends the rest.
 * One project is open at a time, as /Game/ has one folder.
 */
class VORPEXHOST_API FVorpexHost
{
public:
	/**
	 * Opens the project in ProjectDir, or the bundled project when ProjectDir is empty. Null,
	 * with one message in OutError naming the file, the key and the reason, when the project
	 * or the module cannot be opened; nothing stays mounted then.
	 */
	static TUniquePtr<FVorpexHost> Open(FHostEngine& Engine, const FString& ProjectDir, FString& OutError);

	~FVorpexHost();
	FVorpexHost(const FVorpexHost&) = delete;
	FVorpexHost& operator=(const FVorpexHost&) = delete;

	const FProjectDescription& GetProject() const { return Project; }
	/** The world, while the project is open. */
	UWorld& GetWorld() const { return *World; }

	/** Spawns the project's editable character into the world (see FCharacterSpawner). */
	bool SpawnCharacter(FSpawnedCharacter& OutCharacter, FString& OutError) const;

	/** Spawns the project's editable character wearing only the attachments Worn names (see FCharacterSpawner::SpawnWearing). */
	bool SpawnCharacterWearing(const TArray<FString>& Worn, FSpawnedCharacter& OutCharacter, FString& OutError) const;

	/** The characters of the project's descriptor (see FCompositeCharacterSpawner::ListCharacters). */
	bool ListCharacters(TArray<FDescriptorCharacter>& OutCharacters, FString& OutError) const;

	/** Spawns a character of the project's descriptor, composed, into the world (see FCompositeCharacterSpawner). */
	bool SpawnComposite(const FDescriptorCharacter& Character, FSpawnedComposite& OutComposite, FString& OutError) const;

	/** Advances the world's clock by DeltaSeconds (finite, not negative), ticking every registered component. */
	void Tick(float DeltaSeconds);

	/** Destroys the objects nothing reaches any more; called between ticks. */
	void CollectGarbage();

	/** Destroys the world, collects what it held and unmounts the content. Later calls do nothing. */
	void Close();

private:
	FVorpexHost(FProjectDescription InProject, TUniquePtr<FScopedContentMount> InMount);

	FProjectDescription Project;
	TUniquePtr<FScopedContentMount> Mount;
	/** Rooted by its creation until Close destroys it. */
	UWorld* World = nullptr;
};
