#include "HostEngine.h"

#include "AssetLoader.h"
#include "Interfaces/IPluginManager.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "RenderingThread.h"
#include "ShaderCore.h"

#include <exception>
#include <utility>

DEFINE_LOG_CATEGORY_STATIC(LogVorpexHost, Log, All);

namespace
{
	const TCHAR* const VorpexModuleName = TEXT("Vorpex");

	/** Stops the render thread when it goes out of scope, however the scope is left. */
	class FRenderThreadStopper
	{
	public:
		FRenderThreadStopper() = default;
		~FRenderThreadStopper() { StopRenderingThread(); }
		FRenderThreadStopper(const FRenderThreadStopper&) = delete;
		FRenderThreadStopper& operator=(const FRenderThreadStopper&) = delete;
	};
}

FHostEngine::FHostEngine(FProgramLayout InLayout)
	: Layout(std::move(InLayout))
{
	FAssetLoader::Install();
	MapEngineShaders();
}

void FHostEngine::MapEngineShaders() const
{
	// The engine's own shaders (the preview renderer's) lie in the data folder. A process maps
	// them once: engines made later keep the first mapping.
	const FString Dir = FPaths::Combine(Layout.GetDataDir(), TEXT("Engine/Shaders"));
	if (!AllShaderSourceDirectoryMappings().Contains(TEXT("/Engine")) && FPaths::DirectoryExists(Dir))
	{
		AddShaderSourceDirectoryMapping(TEXT("/Engine"), Dir);
	}
}

FHostEngine::~FHostEngine()
{
	try
	{
		ShutDown();
	}
	catch (const FCheckFailure& Failure)
	{
		// Too late to change the exit code; the log is all that is left.
		UE_LOG(LogVorpexHost, Error, TEXT("Shutting down failed: %s"), Failure.what());
	}
}

bool FHostEngine::StartVorpexModule(FString& OutError)
{
	if (FModuleManager::Get().IsModuleLoaded(FName(VorpexModuleName)))
	{
		return true;
	}
	FString Dir;
	if (!Layout.FindPluginDir(Dir, OutError) || !AddPluginDir(Dir, OutError))
	{
		return false;
	}
	if (!FModuleManager::Get().LoadModule(FName(VorpexModuleName)))
	{
		OutError = TEXT("the Vorpex module is not part of this program");
		return false;
	}
	return true;
}

bool FHostEngine::AddPluginDir(const FString& Dir, FString& OutError)
{
	const bool bAdded = IPluginManager::Get().AddPluginSearchPath(Dir);
	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(VorpexModuleName);
	if (!Plugin.IsValid() || !FPaths::IsSamePath(Plugin->GetBaseDir(), Dir))
	{
		OutError = FString::Printf(TEXT("the Vorpex plug-in in %s is not the one the plug-in manager finds (%s)"), *Dir,
			Plugin.IsValid() ? *Plugin->GetDescriptorFileName() : TEXT("none"));
		if (bAdded)
		{
			IPluginManager::Get().RemovePluginSearchPath(Dir);
		}
		return false;
	}
	if (bAdded)
	{
		PluginDir = Dir;
	}
	return true;
}

void FHostEngine::ShutDown()
{
	if (bShutDown)
	{
		return;
	}
	bShutDown = true;
	const FRenderThreadStopper Stopper;
	// Failed GPU work is reported once the modules are down, which they go either way.
	std::exception_ptr RenderFailure;
	try
	{
		FlushRenderingCommands();
	}
	catch (const FCheckFailure&)
	{
		RenderFailure = std::current_exception();
	}
	FModuleManager::Get().ShutdownAllModules();
	if (!PluginDir.IsEmpty())
	{
		IPluginManager::Get().RemovePluginSearchPath(PluginDir);
	}
	if (RenderFailure)
	{
		std::rethrow_exception(RenderFailure);
	}
}
