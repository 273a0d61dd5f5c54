#pragma once

#include "CoreMinimal.h"
#include "Modules/ModuleInterface.h"

VORPEX_API DECLARE_LOG_CATEGORY_EXTERN(LogVorpex, Log, VeryVerbose);

/** The Vorpex module: its start-up makes the plug-in's shaders known under "/Plugin/Vorpex". */
class VORPEX_API FVorpexModule : public IModuleInterface
{
public:
	/** Maps the virtual shader directory "/Plugin/Vorpex" to the plug-in's Shaders folder. */
	void StartupModule() override;
	/** Leaves the mapping in place: shaders may still be compiled while modules unload. */
	void ShutdownModule() override;
};
