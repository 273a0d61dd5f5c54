#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "GameViewportClient.generated.h"

/**
 * The game's view of the window it is shown in: its size in pixels and the DPI scale of the
 * screen. There is no window here; the host tells the viewport what the window would.
 */
UCLASS()
class ENGINE_API UGameViewportClient : public UObject
{
	GENERATED_BODY()

public:
	/** The size of the viewport in pixels. */
	void GetViewportSize(FVector2D& OutViewportSize) const { OutViewportSize = FVector2D(double(ViewportSize.X), double(ViewportSize.Y)); }
	/** A negative size is refused with a warning. */
	void SetViewportSize(FIntPoint InViewportSize);

	/** Physical pixels per layout unit of the screen the viewport is on; 1 by default. */
	float GetDPIScale() const { return DPIScale; }
	/** A scale that is not a positive finite number is refused with a warning. */
	void SetDPIScale(float InDPIScale);

private:
	FIntPoint ViewportSize = FIntPoint(1280, 720);
	float DPIScale = 1.0f;
};
