#include "Engine/GameViewportClient.h"

#include "EngineLogs.h"

void UGameViewportClient::SetViewportSize(FIntPoint InViewportSize)
{
	if (InViewportSize.X < 0 || InViewportSize.Y < 0)
	{
		UE_LOG(LogWorld, Warning, TEXT("SetViewportSize: %d x %d is no size"), InViewportSize.X, InViewportSize.Y);
		return;
	}
	ViewportSize = InViewportSize;
}

void UGameViewportClient::SetDPIScale(float InDPIScale)
{
	if (!(FMath::IsFinite(InDPIScale) && InDPIScale > 0.0f))
	{
		UE_LOG(LogWorld, Warning, TEXT("SetDPIScale: %f is no scale"), double(InDPIScale));
		return;
	}
	DPIScale = InDPIScale;
}
