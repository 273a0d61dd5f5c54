#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

/** One edited albedo as the page shows it: the latest read-back, scaled for the preview. */
struct FLiveAlbedo
{
	FString Mesh;
	/** The material slots of the body that show it. */
	TArray<FString> Materials;
	/** Goes up each time its texels change. */
	int64 Version = 0;
	int32 Width = 0;
	int32 Height = 0;
	/** Width × Height texels, R, G, B, A, sRGB-encoded, rows top first; shared with the answers being sent. */
	std::shared_ptr<const std::vector<uint8>> Texels;
};

/** What the page polls: the character's morph weights and albedos, and whether GPU work is pending. */
struct FLiveStateSnapshot
{
	/** Goes up with every change of what follows. */
	int64 Version = 0;
	/** The editing session this state belongs to; 0 when nothing is being edited. */
	int64 Session = 0;
	bool bBusy = false;
	TMap<FString, float> MorphWeights;
	TArray<FLiveAlbedo> Albedos;
};

/**
 * The snapshot the game thread publishes and the HTTP threads read without waiting for it: a
 * request can wait for the next change (a long poll) while the game thread goes on.
 */
class FLiveState
{
public:
	/** On the game thread: the session's state now. Wakes the waiting readers when it changed. */
	void Publish(int64 Session, bool bBusy, const TMap<FString, float>& MorphWeights, const TArray<FLiveAlbedo>& Albedos);

	/** The latest snapshot once its version is above AfterVersion, or the latest when Timeout ends first. */
	FLiveStateSnapshot WaitNewerThan(int64 AfterVersion, std::chrono::milliseconds Timeout) const;

	FLiveStateSnapshot Get() const;

	/** Ends every wait at once; the server is stopping. */
	void WakeAll();

private:
	mutable std::mutex Mutex;
	mutable std::condition_variable Changed;
	FLiveStateSnapshot Snapshot;
	bool bWoken = false;
};

/**
 * A snapshot as the page reads it: {"version", "session", "busy", "morphWeights": {name: weight},
 * "albedos": [{"index", "mesh", "materials", "version", "width", "height"}]}; an albedo not read
 * back yet has version 0.
 */
TSharedRef<FJsonObject> LiveStateJson(const FLiveStateSnapshot& Snapshot);
