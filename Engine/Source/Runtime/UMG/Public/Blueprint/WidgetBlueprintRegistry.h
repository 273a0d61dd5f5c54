#pragma once

#include "CoreMinimal.h"
#include "Templates/SharedPointer.h"

class FWidgetLayout;
class UClass;
class UFunction;
class UUserWidget;

/** Stands in for a widget blueprint's event graph: receives the blueprint events of the widgets of a class. */
class IWidgetBlueprintListener
{
public:
	virtual ~IWidgetBlueprintListener() = default;

	/** Event was raised on Widget with the parameter block Parms (laid out as Event's parameters). */
	virtual void OnBlueprintEvent(UUserWidget& Widget, const UFunction& Event, void* Parms) = 0;
};

/** A widget blueprint given as data: the layout its widgets get and who handles their events. */
struct FWidgetBlueprint
{
	TSharedPtr<const FWidgetLayout> Layout;
	/** May be null: events then do nothing, as with a blueprint that does not implement them. */
	IWidgetBlueprintListener* Listener = nullptr;
};

/** The widget blueprints of user widget classes, by class (game thread only). */
class UMG_API FWidgetBlueprintRegistry
{
public:
	static FWidgetBlueprintRegistry& Get();

	/** Widgets of exactly WidgetClass made from now on use Blueprint; a class has one blueprint, the last registered. */
	void Register(const UClass* WidgetClass, FWidgetBlueprint Blueprint);
	void Unregister(const UClass* WidgetClass);
	/** The blueprint of exactly WidgetClass; null when none is registered. */
	const FWidgetBlueprint* Find(const UClass* WidgetClass) const;

private:
	TMap<const UClass*, FWidgetBlueprint> Blueprints;
};
