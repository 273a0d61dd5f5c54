#include "FuzzSupport.h"

#include "FuzzCheck.h"
#include "HAL/IConsoleManager.h"
#include "HostEngine.h"
#include "Logging/LogCategoryRegistry.h"
#include "Misc/FileHelper.h"
#include "RenderingThread.h"
#include "UObject/UObjectGlobals.h"
#include "VorpexHost.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

/**
 * libFuzzer calls this before the first input. It silences the log: every refused input makes a
 * reader warn, and printing that would be most of the time spent. And it runs render commands
 * on the calling thread, which leaves no render thread to race the driver's teardown when
 * libFuzzer ends the process with exit.
 */
extern "C" int LLVMFuzzerInitialize(int* ArgumentCount, char*** Arguments)
{
	FString Error;
	FUZZ_CHECK(FLogCategoryRegistry::Get().ProcessLogCommands(TEXT("global Fatal"), Error));
	SetRenderingThreaded(false);
	return 0;
}

void FuzzSupport::CollectGarbageEvery(int32 Count)
{
	static int32 Calls = 0;
	if (++Calls % Count == 0)
	{
		CollectGarbage();
	}
}

FString FuzzSupport::WriteScratchFile(const uint8_t* Data, size_t Size, const TCHAR* Extension)
{
	const std::filesystem::path Path = std::filesystem::temp_directory_path() /
									   ("vorpex-fuzz-" + std::to_string(getpid()) + "." + Extension);
	const FString PathText(Path.string());
	const TArray<uint8> Bytes(Data, static_cast<int32>(Size));
	FUZZ_CHECK(FFileHelper::SaveArrayToFile(Bytes, *PathText));
	return PathText;
}

FFuzzedSample& FFuzzedSample::Get()
{
	// Never destroyed: the engine's teardown would race the statics libFuzzer's exit destroys.
	static FFuzzedSample* const Sample = new FFuzzedSample();
	return *Sample;
}

FFuzzedSample::FFuzzedSample()
{
	// Texture results a few texels wide: what the inputs reach does not depend on their size.
	IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.ResultSize"))->Set(TEXT("64"));
	Engine = MakeUnique<FHostEngine>(FProgramLayout::OfRunningProgram());
	FString Error;
	Host = FVorpexHost::Open(*Engine, FString(), Error);
	if (!Host)
	{
		std::fprintf(stderr, "the bundled sample project does not open: %s\n", *Error);
		std::abort();
	}
}
