#pragma once

#include "CoreMinimal.h"
#include "ProgramLayout.h"

/**
 * The engine side of a host program, one per process: from construction on, object paths load
 * through the content mounts (FAssetLoader); StartVorpexModule starts the Vorpex module from
 * the plug-in folder the program's layout finds; ShutDown ends it all in order.
 *
 * Programs call ShutDown before main returns, where a failure of queued GPU work can still be
 * reported; the destructor only makes up for a ShutDown that was skipped.
 */
class VORPEXHOST_API FHostEngine
{
public:
	explicit FHostEngine(FProgramLayout InLayout);
	~FHostEngine();
	FHostEngine(const FHostEngine&) = delete;
	FHostEngine& operator=(const FHostEngine&) = delete;

	const FProgramLayout& GetLayout() const { return Layout; }

	/**
	 * Starts the Vorpex module from the plug-in folder, which maps its shaders under
	 * "/Plugin/Vorpex"; true at once when it runs already. False, with the reason in OutError
	 * and nothing started, when the plug-in folder is not found or is not the one the plug-in
	 * manager then knows as "Vorpex".
	 */
	bool StartVorpexModule(FString& OutError);

	/**
	 * Waits for the render commands still queued (raising a failure of one as the
	 * FRenderCommandFailure it is), shuts the modules down, the last started first, and stops
	 * the render thread. The render thread stops even when something before it fails, so that
	 * no command runs while the process exits. Later calls do nothing.
	 */
	void ShutDown();

private:
	/** Maps "/Engine" to the data folder's Engine/Shaders, unless it is mapped already or the folder is missing. */
	void MapEngineShaders() const;
	/**
	 * Makes Dir a plug-in search folder and checks that the plug-in manager's "Vorpex" is the
	 * one in it; another Vorpex plug-in found first is refused, and the folder taken back.
	 */
	bool AddPluginDir(const FString& Dir, FString& OutError);

	FProgramLayout Layout;
	/** The plug-in search folder this engine added, removed again at shut-down. */
	FString PluginDir;
	bool bShutDown = false;
};
