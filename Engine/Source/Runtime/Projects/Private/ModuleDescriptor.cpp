#include "ModuleDescriptor.h"

#include "Dom/JsonObject.h"
#include "Internationalization/Text.h"
#include "Misc/CString.h"

#include <iterator>

namespace
{
	template <typename EnumType, int32 Count>
	EnumType FindSpelling(const TCHAR* Text, const TCHAR* const (&Spellings)[Count], EnumType NotFound)
	{
		for (int32 Index = 0; Index < Count; ++Index)
		{
			if (Text && FCString::Stricmp(Text, Spellings[Index]) == 0)
			{
				return static_cast<EnumType>(Index);
			}
		}
		return NotFound;
	}

	bool Fail(FText* OutFailReason, const FString& Reason)
	{
		if (OutFailReason)
		{
			*OutFailReason = FText::FromString(Reason);
		}
		return false;
	}
}

EHostType::Type EHostType::FromString(const TCHAR* Text)
{
	static const TCHAR* const Spellings[] = {TEXT("Runtime"), TEXT("RuntimeNoCommandlet"), TEXT("RuntimeAndProgram"),
		TEXT("CookedOnly"), TEXT("UncookedOnly"), TEXT("Developer"), TEXT("DeveloperTool"), TEXT("Editor"),
		TEXT("EditorNoCommandlet"), TEXT("EditorAndProgram"), TEXT("Program"), TEXT("ServerOnly"), TEXT("ClientOnly"),
		TEXT("ClientOnlyNoCommandlet")};
	static_assert(std::size(Spellings) == Max);
	return FindSpelling(Text, Spellings, Max);
}

ELoadingPhase::Type ELoadingPhase::FromString(const TCHAR* Text)
{
	static const TCHAR* const Spellings[] = {TEXT("EarliestPossible"), TEXT("PostConfigInit"), TEXT("PostSplashScreen"),
		TEXT("PreEarlyLoadingScreen"), TEXT("PreLoadingScreen"), TEXT("PreDefault"), TEXT("Default"), TEXT("PostDefault"),
		TEXT("PostEngineInit"), TEXT("None")};
	static_assert(std::size(Spellings) == Max);
	return FindSpelling(Text, Spellings, Max);
}

bool FModuleDescriptor::Read(const FJsonObject& Object, FText* OutFailReason)
{
	FString NameText;
	if (!Object.HasTypedField<EJson::String>(TEXT("Name")) || !Object.TryGetStringField(TEXT("Name"), NameText) || NameText.IsEmpty())
	{
		return Fail(OutFailReason, TEXT("a module has no \"Name\" string"));
	}
	FString TypeText;
	if (!Object.HasTypedField<EJson::String>(TEXT("Type")) || !Object.TryGetStringField(TEXT("Type"), TypeText))
	{
		return Fail(OutFailReason, FString::Printf(TEXT("module '%s' has no \"Type\" string"), *NameText));
	}
	const EHostType::Type NewType = EHostType::FromString(*TypeText);
	if (NewType == EHostType::Max)
	{
		return Fail(OutFailReason, FString::Printf(TEXT("module '%s' has an unknown \"Type\" '%s'"), *NameText, *TypeText));
	}
	ELoadingPhase::Type NewPhase = ELoadingPhase::Default;
	if (Object.HasField(TEXT("LoadingPhase")))
	{
		FString PhaseText;
		if (!Object.HasTypedField<EJson::String>(TEXT("LoadingPhase")) || !Object.TryGetStringField(TEXT("LoadingPhase"), PhaseText))
		{
			return Fail(OutFailReason, FString::Printf(TEXT("module '%s' has a \"LoadingPhase\" that is not a string"), *NameText));
		}
		NewPhase = ELoadingPhase::FromString(*PhaseText);
		if (NewPhase == ELoadingPhase::Max)
		{
			return Fail(OutFailReason, FString::Printf(TEXT("module '%s' has an unknown \"LoadingPhase\" '%s'"), *NameText, *PhaseText));
		}
	}
	Name = FName(NameText);
	Type = NewType;
	LoadingPhase = NewPhase;
	return true;
}

bool FModuleDescriptor::ReadArray(const FJsonObject& Object, const TCHAR* Name, TArray<FModuleDescriptor>& OutModules, FText* OutFailReason)
{
	if (!Object.HasField(Name))
	{
		OutModules.Empty();
		return true;
	}
	const TArray<TSharedPtr<FJsonValue>>* Entries = nullptr;
	if (!Object.HasTypedField<EJson::Array>(Name) || !Object.TryGetArrayField(Name, Entries))
	{
		return Fail(OutFailReason, FString::Printf(TEXT("\"%s\" is not an array"), Name));
	}
	TArray<FModuleDescriptor> Modules;
	for (int32 Index = 0; Index < Entries->Num(); ++Index)
	{
		const TSharedPtr<FJsonObject>* Entry = nullptr;
		if (!(*Entries)[Index].IsValid() || !(*Entries)[Index]->TryGetObject(Entry) || !Entry->IsValid())
		{
			return Fail(OutFailReason, FString::Printf(TEXT("entry %d of \"%s\" is not an object"), Index, Name));
		}
		FModuleDescriptor& Module = Modules.AddDefaulted_GetRef();
		if (!Module.Read(**Entry, OutFailReason))
		{
			return false;
		}
	}
	OutModules = std::move(Modules);
	return true;
}
