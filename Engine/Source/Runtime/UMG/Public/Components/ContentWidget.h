#pragma once

#include "Components/PanelWidget.h"
#include "CoreMinimal.h"

#include "ContentWidget.generated.h"

/** A panel of one child, its content. */
UCLASS(Abstract)
class UMG_API UContentWidget : public UPanelWidget
{
	GENERATED_BODY()

public:
	UWidget* GetContent() const { return GetChildAt(0); }
	/** Replaces the content (null removes it); returns the content's slot, null without content. */
	UPanelSlot* SetContent(UWidget* Content);

protected:
	bool CanHaveMultipleChildren() const override { return false; }
};
