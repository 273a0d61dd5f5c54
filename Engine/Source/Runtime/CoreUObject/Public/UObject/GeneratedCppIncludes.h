#pragma once

// What HeaderTool's X.gen.cpp files build reflection data with. A generated file declares
// each type's StaticClass/StaticStruct/StaticEnum through the GetPrivateStatic* functions
// and fills the type in its Build function with the builders below; the property for each
// field is chosen from the field's C++ type by MakeProperty.

#include "Containers/EnumAsByte.h"
#include "Templates/SubclassOf.h"
#include "UObject/Class.h"
#include "UObject/ObjectPtr.h"
#include "UObject/SoftObjectPtr.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include <initializer_list>
#include <memory>
#include <new>
#include <type_traits>

namespace UE::CoreUObject
{
	struct FMetaDataPair
	{
		const TCHAR* Key;
		const TCHAR* Value;
	};

	namespace Private
	{
		template <typename T> struct TIsArray : std::false_type {};
		template <typename T> struct TIsArray<TArray<T>> : std::true_type {};
		template <typename T> struct TIsMap : std::false_type {};
		template <typename K, typename V> struct TIsMap<TMap<K, V>> : std::true_type {};
		template <typename T> struct TIsSet : std::false_type {};
		template <typename T> struct TIsSet<TSet<T>> : std::true_type {};
		template <typename T> struct TIsObjectPtr : std::false_type {};
		template <typename T> struct TIsObjectPtr<TObjectPtr<T>> : std::true_type { using Type = T; };
		template <typename T> struct TIsWeakObjectPtr : std::false_type {};
		template <typename T> struct TIsWeakObjectPtr<TWeakObjectPtr<T>> : std::true_type { using Type = T; };
		template <typename T> struct TIsSoftObjectPtr : std::false_type {};
		template <typename T> struct TIsSoftObjectPtr<TSoftObjectPtr<T>> : std::true_type { using Type = T; };
		template <typename T> struct TIsSubclassOf : std::false_type {};
		template <typename T> struct TIsSubclassOf<TSubclassOf<T>> : std::true_type { using Type = T; };
		template <typename T> struct TIsEnumAsByte : std::false_type {};
		template <typename T> struct TIsEnumAsByte<TEnumAsByte<T>> : std::true_type { using Type = T; };
		template <typename T> inline constexpr bool TAlwaysFalse = false;

		template <typename ArrayType>
		struct TScriptArrayOps final : IScriptArrayOps
		{
			int32 Num(const void* Array) const override { return static_cast<const ArrayType*>(Array)->Num(); }
			void* GetElement(void* Array, int32 Index) const override { return &(*static_cast<ArrayType*>(Array))[Index]; }
			const void* GetElement(const void* Array, int32 Index) const override { return &(*static_cast<const ArrayType*>(Array))[Index]; }
			void Resize(void* Array, int32 NewNum) const override { static_cast<ArrayType*>(Array)->SetNum(NewNum); }
		};

		template <typename MapType>
		struct TScriptMapOps final : IScriptMapOps
		{
			int32 Num(const void* Map) const override { return static_cast<const MapType*>(Map)->Num(); }
			void Empty(void* Map) const override { static_cast<MapType*>(Map)->Empty(); }
			void ForEachPair(void* Map, const TFunction<void(void* Key, void* Value)>& Visit) const override
			{
				for (auto& Pair : *static_cast<MapType*>(Map))
				{
					Visit(&Pair.Key, &Pair.Value);
				}
			}
			bool AddPair(void* Map, const TFunction<bool(void* Key, void* Value)>& Fill) const override
			{
				typename MapType::KeyType Key{};
				typename MapType::ValueType Value{};
				if (!Fill(&Key, &Value))
				{
					return false;
				}
				static_cast<MapType*>(Map)->Add(std::move(Key), std::move(Value));
				return true;
			}
			void RemoveIf(void* Map, const TFunction<bool(void* Key, void* Value)>& Visit) const override
			{
				for (auto It = static_cast<MapType*>(Map)->CreateIterator(); It; ++It)
				{
					if (Visit(&It->Key, &It->Value))
					{
						It.RemoveCurrent();
					}
				}
			}
		};

		template <typename SetType>
		struct TScriptSetOps final : IScriptSetOps
		{
			int32 Num(const void* Set) const override { return static_cast<const SetType*>(Set)->Num(); }
			void Empty(void* Set) const override { static_cast<SetType*>(Set)->Empty(); }
			void ForEachElement(const void* Set, const TFunction<void(const void* Element)>& Visit) const override
			{
				for (const auto& Element : *static_cast<const SetType*>(Set))
				{
					Visit(&Element);
				}
			}
			bool AddElement(void* Set, const TFunction<bool(void* Element)>& Fill) const override
			{
				typename SetType::ElementType Element{};
				if (!Fill(&Element))
				{
					return false;
				}
				static_cast<SetType*>(Set)->Add(std::move(Element));
				return true;
			}
			void RemoveIf(void* Set, const TFunction<bool(const void* Element)>& Visit) const override
			{
				for (auto It = static_cast<SetType*>(Set)->CreateIterator(); It; ++It)
				{
					if (Visit(&*It))
					{
						It.RemoveCurrent();
					}
				}
			}
		};

		template <typename T>
		struct TCppStructOps final : ICppStructOps
		{
			void Construct(void* Dest) const override { new (Dest) T(); }
			void Destruct(void* Dest) const override { static_cast<T*>(Dest)->~T(); }
			void Copy(void* Dest, const void* Src) const override { *static_cast<T*>(Dest) = *static_cast<const T*>(Src); }
		};

		template <typename NumberType>
		std::unique_ptr<FNumericProperty> MakeNumericProperty(FName Name, int32 Offset, EPropertyFlags Flags)
		{
			if constexpr (std::is_same_v<NumberType, int8>) return std::make_unique<FInt8Property>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, int16>) return std::make_unique<FInt16Property>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, int32>) return std::make_unique<FIntProperty>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, int64>) return std::make_unique<FInt64Property>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, uint8>) return std::make_unique<FByteProperty>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, uint16>) return std::make_unique<FUInt16Property>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, uint32>) return std::make_unique<FUInt32Property>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, uint64>) return std::make_unique<FUInt64Property>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, float>) return std::make_unique<FFloatProperty>(Name, Offset, Flags);
			else if constexpr (std::is_same_v<NumberType, double>) return std::make_unique<FDoubleProperty>(Name, Offset, Flags);
			else static_assert(TAlwaysFalse<NumberType>, "Unsupported number type for a reflected property");
		}
	}

	/** The property for a field of C++ type T named Name at Offset; unsupported types fail to compile. */
	template <typename T>
	std::unique_ptr<FProperty> MakeProperty(FName Name, int32 Offset, EPropertyFlags Flags)
	{
		using namespace Private;
		if constexpr (std::is_same_v<T, bool>)
		{
			return std::make_unique<FBoolProperty>(Name, Offset, Flags);
		}
		else if constexpr (std::is_arithmetic_v<T>)
		{
			return MakeNumericProperty<T>(Name, Offset, Flags);
		}
		else if constexpr (std::is_enum_v<T>)
		{
			return std::make_unique<FEnumProperty>(Name, Offset, Flags, MakeNumericProperty<std::underlying_type_t<T>>(Name, Offset, Flags), StaticEnum<T>());
		}
		else if constexpr (TIsEnumAsByte<T>::value)
		{
			return std::make_unique<FByteProperty>(Name, Offset, Flags, StaticEnum<typename TIsEnumAsByte<T>::Type>());
		}
		else if constexpr (std::is_same_v<T, FString>)
		{
			return std::make_unique<FStrProperty>(Name, Offset, Flags);
		}
		else if constexpr (std::is_same_v<T, FName>)
		{
			return std::make_unique<FNameProperty>(Name, Offset, Flags);
		}
		else if constexpr (std::is_same_v<T, FText>)
		{
			return std::make_unique<FTextProperty>(Name, Offset, Flags);
		}
		else if constexpr (TIsArray<T>::value)
		{
			return std::make_unique<FArrayProperty>(Name, Offset, static_cast<int32>(sizeof(T)), Flags,
				MakeProperty<typename T::ElementType>(Name, 0, Flags), std::make_unique<TScriptArrayOps<T>>());
		}
		else if constexpr (TIsMap<T>::value)
		{
			return std::make_unique<FMapProperty>(Name, Offset, static_cast<int32>(sizeof(T)), Flags,
				MakeProperty<typename T::KeyType>(Name, 0, Flags), MakeProperty<typename T::ValueType>(Name, 0, Flags),
				std::make_unique<TScriptMapOps<T>>());
		}
		else if constexpr (TIsSet<T>::value)
		{
			return std::make_unique<FSetProperty>(Name, Offset, static_cast<int32>(sizeof(T)), Flags,
				MakeProperty<typename T::ElementType>(Name, 0, Flags), std::make_unique<TScriptSetOps<T>>());
		}
		else if constexpr (std::is_same_v<T, UClass*>)
		{
			return std::make_unique<FClassProperty>(Name, Offset, Flags, UObject::StaticClass(), false);
		}
		else if constexpr (std::is_pointer_v<T>)
		{
			return std::make_unique<FObjectProperty>(Name, Offset, Flags, StaticClassOfType<std::remove_cv_t<std::remove_pointer_t<T>>>(), false);
		}
		else if constexpr (TIsObjectPtr<T>::value)
		{
			using ObjectType = typename TIsObjectPtr<T>::Type;
			if constexpr (std::is_same_v<ObjectType, UClass>)
			{
				return std::make_unique<FClassProperty>(Name, Offset, Flags, UObject::StaticClass(), false);
			}
			else
			{
				return std::make_unique<FObjectProperty>(Name, Offset, Flags, StaticClassOfType<ObjectType>(), true);
			}
		}
		else if constexpr (TIsSubclassOf<T>::value)
		{
			return std::make_unique<FClassProperty>(Name, Offset, Flags, StaticClassOfType<typename TIsSubclassOf<T>::Type>(), true);
		}
		else if constexpr (TIsWeakObjectPtr<T>::value)
		{
			return std::make_unique<FWeakObjectProperty>(Name, Offset, Flags, StaticClassOfType<typename TIsWeakObjectPtr<T>::Type>());
		}
		else if constexpr (TIsSoftObjectPtr<T>::value)
		{
			return std::make_unique<FSoftObjectProperty>(Name, Offset, Flags, StaticClassOfType<typename TIsSoftObjectPtr<T>::Type>());
		}
		else if constexpr (requires { StaticStruct<T>(); })
		{
			return std::make_unique<FStructProperty>(Name, Offset, Flags, StaticStruct<T>());
		}
		else
		{
			static_assert(TAlwaysFalse<T>, "This type cannot be a reflected property");
		}
	}

	template <typename T>
	std::unique_ptr<ICppStructOps> MakeCppStructOps()
	{
		return std::make_unique<Private::TCppStructOps<T>>();
	}

	/** Fills a struct, class or function with its properties, specifiers and metadata. */
	class COREUOBJECT_API FStructBuilder
	{
	public:
		explicit FStructBuilder(UStruct* InStruct) : Struct(InStruct) {}

		/** The type's own specifiers and metadata, as written in its macro. */
		void Declaration(std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData);

		/**
		 * Adds a property for a field of type T. The property flags follow the specifiers
		 * (EditAnywhere, VisibleAnywhere, BlueprintReadOnly, BlueprintReadWrite, Transient …)
		 * plus ExtraFlags.
		 */
		template <typename T>
		FProperty& Property(const TCHAR* Name, int32 Offset, std::initializer_list<const TCHAR*> Specifiers,
			std::initializer_list<FMetaDataPair> MetaData, EPropertyFlags ExtraFlags = CPF_None)
		{
			const EPropertyFlags Flags = FlagsFromSpecifiers(Specifiers) | ExtraFlags;
			return AddProperty(Name, MakeProperty<T>(FName(Name), Offset, Flags), Specifiers, MetaData);
		}

		UStruct* GetStruct() const { return Struct; }

	protected:
		static EPropertyFlags FlagsFromSpecifiers(std::initializer_list<const TCHAR*> Specifiers);
		FProperty& AddProperty(const TCHAR* AuthoredName, std::unique_ptr<FProperty> Property, std::initializer_list<const TCHAR*> Specifiers,
			std::initializer_list<FMetaDataPair> MetaData);

		UStruct* Struct;
	};

	class COREUOBJECT_API FFunctionBuilder : public FStructBuilder
	{
	public:
		explicit FFunctionBuilder(UFunction* InFunction) : FStructBuilder(InFunction) {}

		/** Adds a parameter (ParamFlags: CPF_Parm with CPF_OutParm, CPF_ReferenceParm, CPF_ConstParm, CPF_ReturnParm as declared). */
		template <typename T>
		FProperty& Param(const TCHAR* Name, int32 Offset, EPropertyFlags ParamFlags, std::initializer_list<const TCHAR*> Specifiers = {},
			std::initializer_list<FMetaDataPair> MetaData = {})
		{
			NoteParam(ParamFlags);
			return AddProperty(Name, MakeProperty<T>(FName(Name), Offset, ParamFlags | CPF_Parm), Specifiers, MetaData);
		}

	private:
		void NoteParam(EPropertyFlags ParamFlags);
	};

	class COREUOBJECT_API FClassBuilder : public FStructBuilder
	{
	public:
		explicit FClassBuilder(UClass* InClass) : FStructBuilder(InClass) {}

		/**
		 * Declares a function whose parameter block is ParmsType. The function flags follow
		 * the specifiers (BlueprintCallable, BlueprintPure, BlueprintImplementableEvent,
		 * BlueprintNativeEvent) plus ExtraFlags (FUNC_Static, FUNC_Const).
		 */
		template <typename ParmsType>
		FFunctionBuilder Function(const TCHAR* Name, FNativeFuncPtr Thunk, EFunctionFlags ExtraFlags,
			std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData)
		{
			UFunction* Function = AddFunction(Name, Thunk, ExtraFlags, static_cast<int32>(sizeof(ParmsType)),
				static_cast<int32>(alignof(ParmsType)), Specifiers, MetaData);
			Function->SetParmsLifetime([](void* Parms) { new (Parms) ParmsType(); },
				[](void* Parms) { static_cast<ParmsType*>(Parms)->~ParmsType(); });
			return FFunctionBuilder(Function);
		}

	private:
		UFunction* AddFunction(const TCHAR* Name, FNativeFuncPtr Thunk, EFunctionFlags ExtraFlags, int32 ParmsSize, int32 ParmsAlignment,
			std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData);
	};

	class COREUOBJECT_API FEnumBuilder
	{
	public:
		explicit FEnumBuilder(UEnum* InEnum) : Enum(InEnum) {}

		void Declaration(std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData);
		/** Adds an entry; Name is the qualified name for enum classes ("EColor::Red"). */
		void Entry(const TCHAR* Name, int64 Value, std::initializer_list<FMetaDataPair> MetaData = {});
		/** Stores the entries, adding the "<Enum>_MAX" entry one past the largest value. */
		void Finish();

	private:
		UEnum* Enum;
		TArray<UEnum_Private::FEnumEntry> Entries;
	};

	struct FClassParams
	{
		const TCHAR* PackageName;
		const TCHAR* Name;
		int32 Size;
		int32 Alignment;
		UClass* (*SuperClass)();
		EClassFlags Flags;
		UClass::FClassConstructor Constructor;
		UClass::FAddReferencedObjects AddReferencedObjects;
		void (*Build)(FClassBuilder&);
	};

	struct FStructParams
	{
		const TCHAR* PackageName;
		const TCHAR* Name;
		int32 Size;
		int32 Alignment;
		UScriptStruct* (*SuperStruct)();
		std::unique_ptr<ICppStructOps> (*MakeOps)();
		void (*Build)(FStructBuilder&);
	};

	struct FEnumParams
	{
		const TCHAR* PackageName;
		const TCHAR* Name;
		UEnum::ECppForm CppForm;
		void (*Build)(FEnumBuilder&);
	};

	/**
	 * Makes the type on first call and stores it in Slot before building its members, so a
	 * type whose members refer to the type itself resolves to the same object.
	 */
	COREUOBJECT_API UClass* GetPrivateStaticClass(UClass*& Slot, const FClassParams& Params);
	COREUOBJECT_API UScriptStruct* GetPrivateStaticStruct(UScriptStruct*& Slot, const FStructParams& Params);
	COREUOBJECT_API UEnum* GetPrivateStaticEnum(UEnum*& Slot, const FEnumParams& Params);

	/** A static object in every generated file: registers its types while the module loads. */
	struct FRegisterCompiledInTypes
	{
		explicit FRegisterCompiledInTypes(void (*Register)()) { Register(); }
	};
}
