#include "UObject/NameTypes.h"

#include "Containers/Map.h"
#include "Misc/CString.h"

#include <charconv>
#include <deque>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace
{
	/** The interned spellings; entry 0 is "None". Entries never move or go away. */
	class FNameTable
	{
	public:
		static FNameTable& Get()
		{
			static FNameTable Table;
			return Table;
		}

		uint32 FindOrAdd(std::string_view PlainName)
		{
			const FString Key{std::string(PlainName)};
			{
				std::shared_lock Lock(Mutex);
				if (const uint32* Found = Indices.Find(Key))
				{
					return *Found;
				}
			}
			std::unique_lock Lock(Mutex);
			if (const uint32* Found = Indices.Find(Key))
			{
				return *Found;
			}
			const uint32 Index = static_cast<uint32>(Entries.size());
			Entries.push_back(Key);
			Indices.Add(Key, Index);
			return Index;
		}

		const FString& GetEntry(uint32 Index) const
		{
			std::shared_lock Lock(Mutex);
			return Entries[Index];
		}

	private:
		FNameTable()
		{
			Entries.emplace_back("None");
			Indices.Add(Entries.front(), 0);
		}

		mutable std::shared_mutex Mutex;
		std::deque<FString> Entries;
		TMap<FString, uint32> Indices; // FString keys compare without letter case
	};

	/** Splits "Name_12" into "Name" and internal number 13, as the engine parses number suffixes. */
	int32 SplitNumber(std::string_view& Name)
	{
		SIZE_T Digits = 0;
		while (Digits < Name.size() && FChar::IsDigit(Name[Name.size() - 1 - Digits]))
		{
			++Digits;
		}
		// A number needs digits, an underscore and a plain name in front of them.
		if (Digits == 0 || Digits + 1 >= Name.size() || Name[Name.size() - Digits - 1] != '_')
		{
			return NAME_NO_NUMBER_INTERNAL;
		}
		const SIZE_T Underscore = Name.size() - Digits - 1;
		const std::string_view Suffix = Name.substr(Underscore + 1);
		if (Digits > 1 && Suffix.front() == '0')
		{
			return NAME_NO_NUMBER_INTERNAL;
		}
		int32 Value = 0;
		const auto Result = std::from_chars(Suffix.data(), Suffix.data() + Suffix.size(), Value);
		if (Result.ec != std::errc() || Value == MAX_int32)
		{
			return NAME_NO_NUMBER_INTERNAL;
		}
		Name = Name.substr(0, Underscore);
		return Value + 1;
	}
}

FName::FName(const TCHAR* Name)
{
	std::string_view View(Name ? Name : "");
	if (View.empty())
	{
		return;
	}
	Number = SplitNumber(View);
	ComparisonIndex = FNameTable::Get().FindOrAdd(View);
}

FName::FName(const TCHAR* PlainName, int32 InternalNumber)
	: Number(InternalNumber)
{
	const std::string_view View(PlainName ? PlainName : "");
	ComparisonIndex = View.empty() ? 0 : FNameTable::Get().FindOrAdd(View);
}

FString FName::GetPlainNameString() const
{
	return FNameTable::Get().GetEntry(ComparisonIndex);
}

FString FName::ToString() const
{
	FString Result = GetPlainNameString();
	if (Number != NAME_NO_NUMBER_INTERNAL)
	{
		Result += "_";
		Result.AppendInt(Number - 1);
	}
	return Result;
}

int32 FName::Compare(const FName& Other) const
{
	if (ComparisonIndex != Other.ComparisonIndex)
	{
		const int32 Plain = GetPlainNameString().Compare(Other.GetPlainNameString(), ESearchCase::IgnoreCase);
		if (Plain != 0)
		{
			return Plain;
		}
	}
	return Number - Other.Number;
}

bool FName::LexicalLess(const FName& Other) const
{
	return Compare(Other) < 0;
}
