#include "Blueprint/WidgetLayout.h"

#include "Blueprint/UserWidget.h"
#include "Blueprint/WidgetTree.h"
#include "Components/ContentWidget.h"
#include "Components/PanelWidget.h"
#include "Components/SizeBox.h"
#include "Components/TextBlock.h"
#include "Dom/JsonObject.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "UObject/Class.h"

namespace
{
	class FLayoutParser
	{
	public:
		explicit FLayoutParser(FString& InError) : Error(InError) {}

		bool ParseNode(const TSharedPtr<FJsonValue>& Json, const FString& Place, FWidgetLayout::FNode& OutNode)
		{
			const TSharedPtr<FJsonObject>* Object = nullptr;
			if (!Json || !Json->TryGetObject(Object))
			{
				return Fail(Place, TEXT("a widget is a JSON object"));
			}
			for (const auto& [Key, Value] : (*Object)->Values)
			{
				if (!IsKnownKey(Key))
				{
					return Fail(Place, FString::Printf(TEXT("unknown key \"%s\""), *Key));
				}
			}
			return ParseClass(**Object, Place, OutNode) && ParseName(**Object, Place, OutNode) && ParseChildren(**Object, Place, OutNode)
				   && ParseSizeBox(**Object, Place, OutNode) && ParseTextBlock(**Object, Place, OutNode);
		}

	private:
		static bool IsKnownKey(const FString& Key)
		{
			for (const TCHAR* Known : {TEXT("class"), TEXT("name"), TEXT("children"), TEXT("width"), TEXT("height"), TEXT("text"), TEXT("fontSize")})
			{
				if (Key == Known)
				{
					return true;
				}
			}
			return false;
		}

		bool ParseClass(const FJsonObject& Object, const FString& Place, FWidgetLayout::FNode& OutNode)
		{
			FString ClassName;
			if (!Object.TryGetStringField(TEXT("class"), ClassName))
			{
				return Fail(Place, TEXT("\"class\" must name a widget class"));
			}
			UClass* Class = FindFirstObject<UClass>(*ClassName);
			// A user widget in a layout would need a blueprint of its own; layouts hold plain widgets.
			if (!Class || !Class->IsChildOf(UWidget::StaticClass()) || Class->IsChildOf(UUserWidget::StaticClass())
				|| Class->HasAnyClassFlags(CLASS_Abstract))
			{
				return Fail(Place, FString::Printf(TEXT("\"%s\" is no widget class a layout can make"), *ClassName));
			}
			OutNode.WidgetClass = Class;
			return true;
		}

		bool ParseName(const FJsonObject& Object, const FString& Place, FWidgetLayout::FNode& OutNode)
		{
			if (!Object.HasField(TEXT("name")))
			{
				return true;
			}
			FString Name;
			if (!Object.TryGetStringField(TEXT("name"), Name) || Name.IsEmpty())
			{
				return Fail(Place, TEXT("\"name\" must be a non-empty string"));
			}
			OutNode.Name = FName(*Name);
			return true;
		}

		bool ParseChildren(const FJsonObject& Object, const FString& Place, FWidgetLayout::FNode& OutNode)
		{
			if (!Object.HasField(TEXT("children")))
			{
				return true;
			}
			const TArray<TSharedPtr<FJsonValue>>* Children = nullptr;
			if (!OutNode.WidgetClass->IsChildOf(UPanelWidget::StaticClass()))
			{
				return Fail(Place, TEXT("only panels have \"children\""));
			}
			if (!Object.TryGetArrayField(TEXT("children"), Children))
			{
				return Fail(Place, TEXT("\"children\" must be a list of widgets"));
			}
			if (OutNode.WidgetClass->IsChildOf(UContentWidget::StaticClass()) && Children->Num() > 1)
			{
				return Fail(Place, TEXT("a content widget holds one child at most"));
			}
			for (int32 Index = 0; Index < Children->Num(); ++Index)
			{
				if (!ParseNode((*Children)[Index], FString::Printf(TEXT("%s.children[%d]"), *Place, Index), OutNode.Children.Add_GetRef({})))
				{
					return false;
				}
			}
			return true;
		}

		bool ParseSizeBox(const FJsonObject& Object, const FString& Place, FWidgetLayout::FNode& OutNode)
		{
			return ParseLength(Object, TEXT("width"), Place, OutNode.WidgetClass, USizeBox::StaticClass(), OutNode.Width)
				   && ParseLength(Object, TEXT("height"), Place, OutNode.WidgetClass, USizeBox::StaticClass(), OutNode.Height);
		}

		bool ParseTextBlock(const FJsonObject& Object, const FString& Place, FWidgetLayout::FNode& OutNode)
		{
			if (Object.HasField(TEXT("text")))
			{
				FString Text;
				if (!OutNode.WidgetClass->IsChildOf(UTextBlock::StaticClass()) || !Object.TryGetStringField(TEXT("text"), Text))
				{
					return Fail(Place, TEXT("\"text\" is a string, for text blocks"));
				}
				OutNode.Text = Text;
			}
			return ParseLength(Object, TEXT("fontSize"), Place, OutNode.WidgetClass, UTextBlock::StaticClass(), OutNode.FontSize);
		}

		/** A number of at least 0 under Key, for widgets of class Owner. */
		bool ParseLength(const FJsonObject& Object, const TCHAR* Key, const FString& Place, const UClass* WidgetClass, const UClass* Owner,
			TOptional<float>& OutLength)
		{
			if (!Object.HasField(Key))
			{
				return true;
			}
			double Length = 0.0;
			if (!WidgetClass->IsChildOf(Owner) || !Object.TryGetNumberField(Key, Length) || !(Length >= 0.0 && Length < 1.0e6))
			{
				return Fail(Place, FString::Printf(TEXT("\"%s\" is a number from 0 to 1e6, for a %s"), Key, *Owner->GetName()));
			}
			OutLength = float(Length);
			return true;
		}

		bool Fail(const FString& Place, const FString& Reason)
		{
			Error = Place + TEXT(": ") + Reason;
			return false;
		}

		FString& Error;
	};

	UWidget* BuildNode(const FWidgetLayout::FNode& Node, UWidgetTree& Tree)
	{
		UWidget* Widget = Tree.ConstructWidget<UWidget>(Node.WidgetClass, Node.Name);
		if (USizeBox* SizeBox = Cast<USizeBox>(Widget))
		{
			if (Node.Width)
			{
				SizeBox->SetWidthOverride(*Node.Width);
			}
			if (Node.Height)
			{
				SizeBox->SetHeightOverride(*Node.Height);
			}
		}
		if (UTextBlock* TextBlock = Cast<UTextBlock>(Widget))
		{
			if (Node.Text)
			{
				TextBlock->SetText(FText::FromString(*Node.Text));
			}
			if (Node.FontSize)
			{
				FSlateFontInfo Font = TextBlock->GetFont();
				Font.Size = *Node.FontSize;
				TextBlock->SetFont(Font);
			}
		}
		if (UPanelWidget* Panel = Cast<UPanelWidget>(Widget))
		{
			for (const FWidgetLayout::FNode& Child : Node.Children)
			{
				Panel->AddChild(BuildNode(Child, Tree));
			}
		}
		return Widget;
	}
}

TSharedPtr<const FWidgetLayout> FWidgetLayout::Parse(const FString& Json, FString& OutError)
{
	TSharedPtr<FJsonValue> Value;
	if (!FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(Json), Value) || !Value)
	{
		OutError = TEXT("the layout is not valid JSON");
		return nullptr;
	}
	TSharedPtr<FWidgetLayout> Layout = MakeShared<FWidgetLayout>();
	FLayoutParser Parser(OutError);
	if (!Parser.ParseNode(Value, TEXT("root"), Layout->Root))
	{
		return nullptr;
	}
	return Layout;
}

UWidget* FWidgetLayout::Build(UWidgetTree& Tree) const
{
	return BuildNode(Root, Tree);
}
