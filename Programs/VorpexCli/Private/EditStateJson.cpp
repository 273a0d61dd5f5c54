#include "EditStateJson.h"

#include "HCEditState.h"
#include "JsonFieldReader.h"

#include <cmath>
#include <limits>
#include <string>

namespace
{
	/**
	 * JSON whose fractional numbers are read straight into floats: a weight's text becomes the
	 * float nearest it, as it would not always after a detour through double.
	 */
	using FJson = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t, std::uint64_t, float>;
	/** The same text with doubles, which hold every number too large for a float. */
	using FWideJson = nlohmann::ordered_json;

	const char* const NaNText = "NaN";
	const char* const InfinityText = "Infinity";
	const char* const NegativeInfinityText = "-Infinity";

	FJson WeightValue(float Weight)
	{
		if (std::isnan(Weight))
		{
			return NaNText;
		}
		if (std::isinf(Weight))
		{
			return Weight > 0 ? InfinityText : NegativeInfinityText;
		}
		return Weight;
	}

	FJson ColorValue(const FColor& Color)
	{
		return FJson::array({Color.R, Color.G, Color.B, Color.A});
	}

	/** The place of the first number in Value that a float cannot hold, or an empty string. */
	FString FindFloatOverflow(const FWideJson& Value, const FString& Place)
	{
		if (Value.is_number())
		{
			return std::isfinite(static_cast<float>(Value.get<double>())) ? FString() : Place;
		}
		if (Value.is_object())
		{
			for (const auto& Item : Value.items())
			{
				const FString Found = FindFloatOverflow(Item.value(), TJsonFieldReader<FWideJson>::Member(Place, Item.key().c_str()));
				if (!Found.IsEmpty())
				{
					return Found;
				}
			}
		}
		for (int32 Index = 0; Value.is_array() && Index < int32(Value.size()); ++Index)
		{
			const FString Found = FindFloatOverflow(Value[Index], TJsonFieldReader<FWideJson>::Element(Place, Index));
			if (!Found.IsEmpty())
			{
				return Found;
			}
		}
		return FString();
	}

	/** Reads the edit state out of a parsed document; the first failure names its place. */
	class FEditStateReader : public TJsonFieldReader<FJson>
	{
	public:
		bool ReadState(const FJson& Root, FHCEditState& OutState)
		{
			const FString Top;
			return Expect(Root, TEXT("the top level"), Root.is_object(), "an object") &&
				   CheckKeys(Root, Top, {"useMorphTargets", "useTextureEditing", "morphWeights", "colorizeColors"}) &&
				   ReadFlag(Root, "useMorphTargets", OutState.bUseMorphTargets) && ReadFlag(Root, "useTextureEditing", OutState.bUseTextureEditing) &&
				   ReadSection(Root, "morphWeights", "useMorphTargets", OutState.bUseMorphTargets, OutState.MorphWeights, &FEditStateReader::ReadMorphWeight) &&
				   ReadSection(Root, "colorizeColors", "useTextureEditing", OutState.bUseTextureEditing, OutState.ColorizeColors,
					   &FEditStateReader::ReadColorizeColor);
		}

	private:
		bool ReadFlag(const FJson& Root, const char* Key, bool& OutFlag)
		{
			const FJson* Value = Find(Root, FString(), Key, true);
			if (!Value || !Expect(*Value, Member(FString(), Key), Value->is_boolean(), "true or false"))
			{
				return false;
			}
			OutFlag = Value->get<bool>();
			return true;
		}

		/** A list that must be there when its flag is true and must not be when it is false (it would not be written). */
		template <typename RecordType>
		bool ReadSection(const FJson& Root, const char* Key, const char* FlagKey, bool bPresent, TArray<RecordType>& OutRecords,
			bool (FEditStateReader::*ReadRecord)(const FJson&, const FString&, RecordType&))
		{
			const FJson* List = Find(Root, FString(), Key, bPresent);
			if (!List)
			{
				return !HasFailed();
			}
			const FString Place = Member(FString(), Key);
			if (!bPresent)
			{
				return Fail(Place, FString::Printf(TEXT("given, but %s is false, so the list would not be written"), FlagKey));
			}
			if (!Expect(*List, Place, List->is_array(), "a list"))
			{
				return false;
			}
			for (int32 Index = 0; Index < int32(List->size()); ++Index)
			{
				const FString EntryPlace = Element(Place, Index);
				const FJson& Entry = (*List)[Index];
				if (!Expect(Entry, EntryPlace, Entry.is_object(), "an object") || !(this->*ReadRecord)(Entry, EntryPlace, OutRecords.AddDefaulted_GetRef()))
				{
					return false;
				}
			}
			return true;
		}

		bool ReadMorphWeight(const FJson& Entry, const FString& Place, FHCMorphWeightRecord& OutRecord)
		{
			if (!CheckKeys(Entry, Place, {"name", "weight"}))
			{
				return false;
			}
			const FJson* Name = Find(Entry, Place, "name", true);
			if (!Name || !Expect(*Name, Member(Place, "name"), Name->is_string(), "a string"))
			{
				return false;
			}
			OutRecord.Name = FString(Name->get<std::string>());
			const FJson* Weight = Find(Entry, Place, "weight", true);
			return Weight && ReadWeight(*Weight, Member(Place, "weight"), OutRecord.Weight);
		}

		bool ReadWeight(const FJson& Value, const FString& Place, float& OutWeight)
		{
			if (Value.is_number())
			{
				OutWeight = Value.get<float>();
				return true;
			}
			const std::string Text = Value.is_string() ? Value.get<std::string>() : std::string();
			if (Text == NaNText || Text == InfinityText || Text == NegativeInfinityText)
			{
				OutWeight = Text == NaNText ? std::numeric_limits<float>::quiet_NaN()
											: (Text == InfinityText ? 1.0f : -1.0f) * std::numeric_limits<float>::infinity();
				return true;
			}
			return Fail(Place, Value.is_string() ? FString::Printf(TEXT("'%s' is no number; the weights that are not numbers are \"NaN\", "
																		"\"Infinity\" and \"-Infinity\""),
													   Text.c_str())
												 : FString::Printf(TEXT("expected a number, found %s"), TypeName(Value)));
		}

		bool ReadColorizeColor(const FJson& Entry, const FString& Place, FHCColorizeColorRecord& OutRecord)
		{
			const int64 MaxIndex = std::numeric_limits<int32>::max();
			int64 Component = 0;
			int64 Stack = 0;
			int64 Processor = 0;
			const FJson* Color = nullptr;
			if (!CheckKeys(Entry, Place, {"component", "stack", "processor", "color"}) || !ReadWhole(Entry, Place, "component", MaxIndex, Component) ||
				!ReadWhole(Entry, Place, "stack", MaxIndex, Stack) || !ReadWhole(Entry, Place, "processor", MaxIndex, Processor) ||
				!(Color = Find(Entry, Place, "color", true)))
			{
				return false;
			}
			OutRecord.ComponentIndex = int32(Component);
			OutRecord.StackIndex = int32(Stack);
			OutRecord.ProcessorIndex = int32(Processor);
			return ReadColor(*Color, Member(Place, "color"), OutRecord.Color);
		}

		/** [R, G, B, A], each a whole number from 0 to 255. */
		bool ReadColor(const FJson& Value, const FString& Place, FColor& OutColor)
		{
			if (!Expect(Value, Place, Value.is_array(), "a list [R, G, B, A]"))
			{
				return false;
			}
			if (Value.size() != 4)
			{
				return Fail(Place, FString::Printf(TEXT("expected 4 channels [R, G, B, A], found %d"), int32(Value.size())));
			}
			uint8* const Channels[] = {&OutColor.R, &OutColor.G, &OutColor.B, &OutColor.A};
			for (int32 Index = 0; Index < 4; ++Index)
			{
				int64 Channel = 0;
				if (!CheckWhole(Value[Index], Element(Place, Index), 255, Channel))
				{
					return false;
				}
				*Channels[Index] = uint8(Channel);
			}
			return true;
		}

		bool ReadWhole(const FJson& Object, const FString& Prefix, const char* Key, int64 Max, int64& OutValue)
		{
			const FJson* Value = Find(Object, Prefix, Key, true);
			return Value && CheckWhole(*Value, Member(Prefix, Key), Max, OutValue);
		}

		/** A whole number from 0 to Max, written without a fraction. */
		bool CheckWhole(const FJson& Value, const FString& Place, int64 Max, int64& OutValue)
		{
			if (!Expect(Value, Place, Value.is_number_integer(), "a whole number"))
			{
				return false;
			}
			if (Value.is_number_unsigned() ? Value.get<uint64>() > uint64(Max) : (Value.get<int64>() < 0 || Value.get<int64>() > Max))
			{
				return Fail(Place, FString::Printf(TEXT("%s is outside 0 to %lld"), Value.dump().c_str(), static_cast<long long>(Max)));
			}
			OutValue = Value.get<int64>();
			return true;
		}
	};
}

FString FEditStateJson::Print(const FHCEditState& State)
{
	FJson Root = FJson::object();
	Root["useMorphTargets"] = State.bUseMorphTargets;
	Root["useTextureEditing"] = State.bUseTextureEditing;
	if (State.bUseMorphTargets)
	{
		FJson& Weights = Root["morphWeights"] = FJson::array();
		for (const FHCMorphWeightRecord& Record : State.MorphWeights)
		{
			Weights.push_back({{"name", Record.Name.ToStdString()}, {"weight", WeightValue(Record.Weight)}});
		}
	}
	if (State.bUseTextureEditing)
	{
		FJson& Colors = Root["colorizeColors"] = FJson::array();
		for (const FHCColorizeColorRecord& Record : State.ColorizeColors)
		{
			Colors.push_back({{"component", Record.ComponentIndex}, {"stack", Record.StackIndex}, {"processor", Record.ProcessorIndex},
				{"color", ColorValue(Record.Color)}});
		}
	}
	// Names read from bytes are valid UTF-8 (damaged UTF-16 reads as U+FFFD); should any other
	// text not be, it is printed with U+FFFD rather than stopping the program.
	return FString(Root.dump(2, ' ', false, FJson::error_handler_t::replace) + "\n");
}

bool FEditStateJson::Parse(const FString& Text, FHCEditState& OutState, FString& OutError)
{
	FJson Root;
	try
	{
		Root = FJson::parse(Text.ToStdString());
	}
	catch (const FJson::out_of_range&)
	{
		// A number beyond a float's range; the wider reading finds where it is.
		const FString Place = FindFloatOverflow(FWideJson::parse(Text.ToStdString(), nullptr, false), FString());
		const FString Reason = TEXT("a number beyond the range of a 32-bit float");
		OutError = Place.IsEmpty() ? Reason : FString::Printf(TEXT("%s: %s"), *Place, *Reason);
		return false;
	}
	catch (const FJson::exception& Error)
	{
		OutError = TJsonFieldReader<FJson>::Describe(Error);
		return false;
	}
	FHCEditState State;
	FEditStateReader Reader;
	if (!Reader.ReadState(Root, State))
	{
		OutError = Reader.GetError();
		return false;
	}
	OutState = std::move(State);
	return true;
}
