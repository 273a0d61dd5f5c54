#pragma once

#include "Components/ContentWidget.h"
#include "CoreMinimal.h"

#include "SizeBox.generated.h"

/** Holds its content at a set width or height, or both; the other axis follows the content. */
UCLASS()
class UMG_API USizeBox : public UContentWidget
{
	GENERATED_BODY()

public:
	void SetWidthOverride(float InWidthOverride);
	void ClearWidthOverride() { bOverride_WidthOverride = false; }
	void SetHeightOverride(float InHeightOverride);
	void ClearHeightOverride() { bOverride_HeightOverride = false; }

	/** Used only while bOverride_WidthOverride is set. */
	float WidthOverride = 0.0f;
	float HeightOverride = 0.0f;
	bool bOverride_WidthOverride = false;
	bool bOverride_HeightOverride = false;

protected:
	FVector2f ComputeDesiredSize() const override;
	void ArrangeChildren(const FGeometry& Geometry) override;
};
