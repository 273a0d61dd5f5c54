#include "Blueprint/WidgetBlueprintRegistry.h"

FWidgetBlueprintRegistry& FWidgetBlueprintRegistry::Get()
{
	static FWidgetBlueprintRegistry Registry;
	return Registry;
}

void FWidgetBlueprintRegistry::Register(const UClass* WidgetClass, FWidgetBlueprint Blueprint)
{
	Blueprints.Add(WidgetClass, std::move(Blueprint));
}

void FWidgetBlueprintRegistry::Unregister(const UClass* WidgetClass)
{
	Blueprints.Remove(WidgetClass);
}

const FWidgetBlueprint* FWidgetBlueprintRegistry::Find(const UClass* WidgetClass) const
{
	return Blueprints.Find(WidgetClass);
}
