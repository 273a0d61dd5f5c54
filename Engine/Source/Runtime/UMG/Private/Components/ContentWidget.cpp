#include "Components/ContentWidget.h"

UPanelSlot* UContentWidget::SetContent(UWidget* Content)
{
	if (UWidget* Previous = GetContent())
	{
		RemoveChild(Previous);
	}
	return AddChild(Content);
}
