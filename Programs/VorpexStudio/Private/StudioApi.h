#pragma once

#include "CoreMinimal.h"
#include "SavedStateFolder.h"
#include "StudioResponse.h"
#include "Templates/UniquePtr.h"

#include <string>

class FHostEngine;
class FLiveState;
class FStudioEditSession;
class FVorpexHost;
struct FDescriptorCharacter;

/**
 * What the studio's requests do with the project, on the game thread: each method answers one
 * kind of request (see the README beside this folder). Between requests Tick advances the
 * world, collects garbage, reads back finished albedos and publishes the live state.
 */
class FStudioApi
{
public:
	FStudioApi(FHostEngine& InEngine, FVorpexHost& InHost, FLiveState& InLiveState);
	/** Ends the editing session, taking its character out of the world. */
	~FStudioApi();
	FStudioApi(const FStudioApi&) = delete;
	FStudioApi& operator=(const FStudioApi&) = delete;

	FStudioResponse ListCharacters() const;
	FStudioResponse BeginEditing(const std::string& Body);
	FStudioResponse EditorTree() const;
	FStudioResponse Call(const std::string& Body);
	FStudioResponse ListStates() const;
	FStudioResponse SaveState(const std::string& Body) const;
	FStudioResponse LoadState(const std::string& Body);
	FStudioResponse ExportCharacter() const;
	FStudioResponse ComposeCharacter(const std::string& GroupIndex, const std::string& CharacterIndex) const;
	FStudioResponse Texture(const std::string& Path) const;

	/** Advances the world by DeltaSeconds and publishes what changed; true while GPU work for the page is pending. */
	bool Tick(float DeltaSeconds);

	/** Reads back the albedos whose GPU work has finished, without ticking; true while work is pending. */
	bool UpdateGpuWork();

	/** Destroys what nothing reaches any more; between ticks. */
	void CollectGarbage();

private:
	/** The character a request names by its indices, or null with the refusal. */
	bool FindCharacter(int64 GroupIndex, int64 CharacterIndex, FDescriptorCharacter& OutCharacter, FStudioResponse& OutRefusal) const;
	/** Null with the refusal when nothing is being edited. */
	FStudioEditSession* EditedSession(FStudioResponse& OutRefusal) const;
	/** The state name a save or load request gives, or empty with the refusal. */
	FString StateName(const std::string& Body, FStudioResponse& OutRefusal) const;
	void EndEditing();

	FHostEngine& Engine;
	FVorpexHost& Host;
	FLiveState& LiveState;
	FSavedStateFolder SavedStates;
	TUniquePtr<FStudioEditSession> Session;
	int64 LastSessionId = 0;
};
