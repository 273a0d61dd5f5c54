#include "Vorpex.h"

#include "Interfaces/IPluginManager.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "ShaderCore.h"

DEFINE_LOG_CATEGORY(LogVorpex);

void FVorpexModule::StartupModule()
{
	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(TEXT("Vorpex"));
	if (!Plugin.IsValid())
	{
		// Start-up has no way to fail; the shaders will then fail to resolve where they are compiled.
		UE_LOG(LogTemp, Error, TEXT("Vorpex: the plug-in 'Vorpex' was not found; shaders under /Plugin/Vorpex will not resolve"));
		return;
	}
	const FString ShaderDirectory = FPaths::Combine(Plugin->GetBaseDir(), TEXT("Shaders"));
	if (!FPaths::DirectoryExists(ShaderDirectory))
	{
		UE_LOG(LogTemp, Error, TEXT("Vorpex: the plug-in has no shader folder %s; shaders under /Plugin/Vorpex will not resolve"), *ShaderDirectory);
		return;
	}
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), ShaderDirectory);
}

void FVorpexModule::ShutdownModule()
{
}

IMPLEMENT_MODULE(FVorpexModule, Vorpex)
