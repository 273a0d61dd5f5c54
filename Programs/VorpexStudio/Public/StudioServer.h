#pragma once

#include "CoreMinimal.h"
#include "Templates/UniquePtr.h"

#include <atomic>
#include <chrono>

class FHostEngine;

/** How a studio is started. */
struct FStudioOptions
{
	/** The project to edit; the bundled one when empty. */
	FString ProjectDir;
	/** The loopback port to listen on; 0 takes a free one. */
	int32 Port = 8080;
};

/**
 * The studio: the character editor of a project served over HTTP on 127.0.0.1 (see the README
 * beside this folder for the interface). The thread that starts the studio is its game thread:
 * it owns the project, the world and everything in it, and must call RunFor or Run, which tick
 * the world and carry out the requests' work. The HTTP threads only queue work to it and wait
 * for the answer.
 */
class VORPEXSTUDIO_API FStudioServer
{
public:
	/**
	 * Opens the project and starts listening. Null, with the reason in OutError, when the
	 * project cannot be opened or the port cannot be bound; nothing is left running then.
	 */
	static TUniquePtr<FStudioServer> Start(FHostEngine& Engine, const FStudioOptions& Options, FString& OutError);

	/** Stops listening, waits for the HTTP threads and closes the project. */
	~FStudioServer();
	FStudioServer(const FStudioServer&) = delete;
	FStudioServer& operator=(const FStudioServer&) = delete;

	/** The port the server listens on. */
	int32 GetPort() const;
	/** "http://127.0.0.1:<port>/". */
	FString GetAddress() const;

	/** Runs the game loop until bStop turns true. */
	void Run(const std::atomic<bool>& bStop);

	/** Runs the game loop for Duration: the queued requests, ticks, the GPU work's completion. */
	void RunFor(std::chrono::milliseconds Duration);

private:
	class FImpl;
	explicit FStudioServer(TUniquePtr<FImpl> InImpl);

	TUniquePtr<FImpl> Impl;
};
