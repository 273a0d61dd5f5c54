#pragma once

#include "Components/Widget.h"
#include "CoreMinimal.h"
#include "Templates/SubclassOf.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include "WidgetTree.generated.h"

/** The widgets of a user widget's layout, under one root; the tree is their outer. */
UCLASS()
class UMG_API UWidgetTree : public UObject
{
	GENERATED_BODY()

public:
	UPROPERTY(Category = "Layout")
	TObjectPtr<UWidget> RootWidget = nullptr;

	/** A new widget of WidgetClass (a subclass of T) in this tree, named WidgetName or a unique name. */
	template <typename T>
	T* ConstructWidget(TSubclassOf<UWidget> WidgetClass = T::StaticClass(), FName WidgetName = NAME_None)
	{
		return NewObject<T>(this, WidgetClass.Get(), WidgetName);
	}

	/** The first widget under the root (the root included, parents before children) named Name, letter case ignored. */
	UWidget* FindWidget(const FName& Name) const;
	template <typename T>
	T* FindWidget(const FName& Name) const
	{
		return Cast<T>(FindWidget(Name));
	}

	/** Every widget under the root, the root first, parents before their children. */
	void GetAllWidgets(TArray<UWidget*>& OutWidgets) const;

	/** Widget and every widget laid out inside it, parents before their children. */
	static void GetChildWidgetsRecursive(UWidget* Widget, TArray<UWidget*>& OutWidgets);
};
