#pragma once

// FJsonValueReader: JSON values into reflected values, by the rules documented in
// JsonObjectConverter.h. One reader serves one conversion: it remembers, per property and
// per record type, what it worked out about them (names, kinds, element properties), so a
// document of many records pays for that once; and it keeps the first failure's message.

#include "CoreMinimal.h"
#include "Dom/JsonValue.h"
#include "JsonPathSegment.h"
#include "JsonPropertyKind.h"

#include <deque>

class FProperty;
class UStruct;

namespace UE::JsonUtilities::Private
{
	class FJsonValueReader
	{
	public:
		FJsonValueReader(int64 InCheckFlags, int64 InSkipFlags, bool bInStrictMode);
		FJsonValueReader(const FJsonValueReader&) = delete;
		FJsonValueReader& operator=(const FJsonValueReader&) = delete;

		/** Fills the visited fields of the Struct value at Data from an object's members. */
		bool ReadStruct(const TMap<FString, TSharedPtr<FJsonValue>>& Members, const UStruct* Struct, void* Data, const FJsonPathSegment* Path);
		/** Converts Value into the Property value at Data (the value itself, not its container). */
		bool ReadProperty(const FJsonValue& Value, const FProperty* Property, void* Data, const FJsonPathSegment& Path);

		/** "Unable to convert 'path': reason" for the failure that stopped the conversion. */
		const FString& GetError() const { return Error; }

	private:
		struct FStructPlan;

		struct FPropertyPlan
		{
			const FProperty* Property = nullptr;
			EJsonPropertyKind Kind = EJsonPropertyKind::Unsupported;
			/** The element of an array or set, the value of a map. */
			const FPropertyPlan* Element = nullptr;
			const FPropertyPlan* Key = nullptr;
			/** A record's fields, worked out on first use (a record may hold arrays of itself). */
			mutable const FStructPlan* Struct = nullptr;
		};

		struct FFieldPlan
		{
			FString Name;
			const FPropertyPlan* Plan;
		};

		struct FStructPlan
		{
			TArray<FFieldPlan> Fields;
		};

		const FPropertyPlan& GetPropertyPlan(const FProperty* Property);
		const FStructPlan& GetStructPlan(const UStruct* Struct);
		void AddFields(FStructPlan& Plan, const UStruct* Struct);
		bool IsVisited(const FProperty* Property) const;

		bool ReadFields(const TMap<FString, TSharedPtr<FJsonValue>>& Members, const FStructPlan& Plan, void* Data, const FJsonPathSegment* Path);
		bool ReadValue(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadInteger(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadFloatingPoint(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadEnum(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadArray(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadSet(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadMap(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadObject(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadClass(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		bool ReadSoftObject(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path);
		/** Records a failure at Path; returns false for the caller to pass on. */
		bool Fail(const FJsonPathSegment& Path, const FString& Reason);
		/** Fails with "expected <Expected>, found <what Value is>". */
		bool FailExpected(const FJsonPathSegment& Path, const FString& Expected, const FJsonValue& Value);

		int64 CheckFlags;
		int64 SkipFlags;
		bool bStrictMode;
		FString Error;
		std::deque<FPropertyPlan> PropertyPlans;
		TMap<const FProperty*, const FPropertyPlan*> PropertyPlanIndex;
		std::deque<FStructPlan> StructPlans;
		TMap<const UStruct*, const FStructPlan*> StructPlanIndex;
	};
}
