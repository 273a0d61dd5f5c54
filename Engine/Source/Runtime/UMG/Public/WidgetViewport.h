#pragma once

// The headless stand-in for the window a user widget is shown in: each frame it constructs
// the user widgets that joined the tree, lays the tree out over the world's game viewport
// (its size in pixels divided by its DPI scale, in layout units), ticks every user widget with
// its new geometry and, when asked, paints the tree into a list of draw elements.

#include "CoreMinimal.h"
#include "UObject/StrongObjectPtr.h"

class FSlateWindowElementList;
class UUserWidget;
class UWidget;

class UMG_API FWidgetViewport
{
public:
	/** Shows Root, which must be in a world with a game viewport (a failed check otherwise); Root stays alive while shown. */
	explicit FWidgetViewport(UUserWidget& Root);

	UUserWidget& GetRootWidget() const { return *Root; }

	/** Constructs the user widgets new to the tree (parents first), lays the tree out and ticks every user widget. */
	void Tick(float DeltaSeconds);

	/** Records the tree's draw elements, from layer 0, into OutDrawElements; returns the highest layer used. */
	int32 Paint(FSlateWindowElementList& OutDrawElements) const;

private:
	static void ConstructTree(UWidget& Widget);
	void Layout();

	TStrongObjectPtr<UUserWidget> Root;
	double CurrentTime = 0.0;
};
