#pragma once

// A widget layout described in JSON, as a widget blueprint's designer would draw it: one
// object per widget with its class and name, the children of panels, and a few properties.
//   {"class": "VerticalBox", "name": "SettingsList", "children": [ ... ]}
//   {"class": "SizeBox", "name": "Target", "width": 200, "height": 200}
//   {"class": "TextBlock", "name": "Caption", "text": "Skin", "fontSize": 12}
// "class" names a widget class without its prefix ("VerticalBox"); "name" is optional;
// "children" is for panels (one child at most for a size box), "width" and "height" for size
// boxes, "text" and "fontSize" for text blocks. Any other key is refused.

#include "CoreMinimal.h"
#include "Templates/SharedPointer.h"

class UClass;
class UWidget;
class UWidgetTree;

class UMG_API FWidgetLayout
{
public:
	/** One widget of the layout. */
	struct FNode
	{
		UClass* WidgetClass = nullptr;
		FName Name;
		TArray<FNode> Children;
		TOptional<float> Width;
		TOptional<float> Height;
		TOptional<FString> Text;
		TOptional<float> FontSize;
	};

	/**
	 * The layout in Json; null, with OutError saying where ("root.children[1]: ...") and why,
	 * when it is no JSON object, names an unknown or abstract widget class, or gives a key a
	 * widget of that class does not take or a value of the wrong type.
	 */
	static TSharedPtr<const FWidgetLayout> Parse(const FString& Json, FString& OutError);

	/** Makes the layout's widgets in Tree and returns the root, which the caller makes the tree's root. */
	UWidget* Build(UWidgetTree& Tree) const;

	const FNode& GetRoot() const { return Root; }

private:
	FNode Root;
};
