#pragma once

#include "CoreMinimal.h"

/** The tint a parent passes down while painting; widgets multiply their colours by it. */
class FWidgetStyle
{
public:
	const FLinearColor& GetColorAndOpacityTint() const { return ColorAndOpacityTint; }
	FWidgetStyle& SetColorAndOpacityTint(const FLinearColor& InTint)
	{
		ColorAndOpacityTint = InTint;
		return *this;
	}

private:
	FLinearColor ColorAndOpacityTint = FLinearColor::White;
};
