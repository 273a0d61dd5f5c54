#include "Blueprint/WidgetLayoutLibrary.h"

#include "Engine/GameViewportClient.h"
#include "Engine/World.h"

float UWidgetLayoutLibrary::GetViewportScale(const UObject* WorldContextObject)
{
	const UWorld* World = WorldContextObject ? WorldContextObject->GetWorld() : nullptr;
	const UGameViewportClient* Viewport = World ? World->GetGameViewport() : nullptr;
	return Viewport ? Viewport->GetDPIScale() : 1.0f;
}
