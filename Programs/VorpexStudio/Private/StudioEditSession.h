#pragma once

#include "CharacterSpawner.h"
#include "CompositeCharacterSpawner.h"
#include "AlbedoPreview.h"
#include "CoreMinimal.h"
#include "LiveState.h"
#include "RenderCommandFence.h"
#include "Templates/UniquePtr.h"

class FCharacterEditorSession;
class FRemoteCall;
class FVorpexHost;
class UTextureRenderTarget2D;

/**
 * One character being edited in the studio, on the game thread: the project's editable body
 * wearing a descriptor character's garments, the editor over it, and the page's view of it
 * (morph weights and albedo previews, with versions). The albedos change on the GPU; a fence
 * behind each batch of texture work tells when to read them back.
 */
class FStudioEditSession
{
public:
	/**
	 * Spawns and begins editing Character in Host's world: the body under its first garment is
	 * culled by that garment's cull masks. Null, with OutError, when it cannot be spawned or
	 * the editor's layouts cannot be read; nothing stays in the world then.
	 */
	static TUniquePtr<FStudioEditSession> Begin(FVorpexHost& Host, const FString& LayoutsDir, const FDescriptorCharacter& Character, int64 Id,
		FString& OutError);

	/** Finishes editing and takes the character out of the world. */
	~FStudioEditSession();
	FStudioEditSession(const FStudioEditSession&) = delete;
	FStudioEditSession& operator=(const FStudioEditSession&) = delete;

	int64 GetId() const { return Id; }
	const FDescriptorCharacter& GetCharacter() const { return Character; }
	UHCEditableSkeletalMeshComponent& GetBody() const { return *Spawned.Body; }
	FCharacterEditorSession& GetEditor() const { return *Editor; }

	/** Ticks the world and the editor; texture work the tick queued is fenced. */
	void Tick(float DeltaSeconds);

	/** Reads the albedos back once their GPU work has finished; true while work is pending. */
	bool UpdateAlbedos();

	/** Publishes the weights, the albedos and whether GPU work is pending. */
	void Publish(FLiveState& State) const;

	/** Keeps what a slider shows after the page moved it through Call. */
	void NoteCall(const FRemoteCall& Call);

	/** Saves the edit state into File, whole or not at all; false with OutError. */
	bool Save(const FString& File, FString& OutError) const;

	/** Loads the edit state in File; false with OutError, the models untouched, when it cannot be read or does not fit. */
	bool Load(const FString& File, FString& OutError);

private:
	/** An albedo the page previews. */
	struct FAlbedoView
	{
		FString Mesh;
		UTextureRenderTarget2D* Target = nullptr;
		FLiveAlbedo Live;
	};

	FStudioEditSession(FVorpexHost& InHost, const FDescriptorCharacter& InCharacter, int64 InId);
	void FindAlbedos();
	void ApplyFirstGarmentCulling();
	void FenceTextureWork();

	FVorpexHost& Host;
	FDescriptorCharacter Character;
	int64 Id;
	FSpawnedCharacter Spawned;
	TUniquePtr<FCharacterEditorSession> Editor;
	TArray<FAlbedoView> Albedos;
	FAlbedoPreview Preview;
	FRenderCommandFence TextureFence;
	bool bTextureWorkPending = false;
};
