#pragma once

// FText: text shown to people. This runtime has no localization, so an FText is its
// display string; the type exists so that code written against the engine reads the same.

#include "Containers/UnrealString.h"
#include "UObject/NameTypes.h"

class CORE_API FText
{
public:
	FText() = default;

	static FText FromString(const FString& String) { return FText(String); }
	static FText FromName(const FName& Name) { return FText(Name.IsNone() ? FString() : Name.ToString()); }
	static FText AsNumber(int32 Value) { return FText(LexToString(Value)); }
	static const FText& GetEmpty();

	const FString& ToString() const { return Display; }
	bool IsEmpty() const { return Display.IsEmpty(); }
	/** Same display string, letter case included. */
	bool EqualTo(const FText& Other) const { return Display.Equals(Other.Display); }

private:
	explicit FText(FString InDisplay) : Display(std::move(InDisplay)) {}

	FString Display;
};

#define LOCTEXT(Key, Text) FText::FromString(TEXT(Text))
#define NSLOCTEXT(Namespace, Key, Text) FText::FromString(TEXT(Text))
#define INVTEXT(Text) FText::FromString(TEXT(Text))
