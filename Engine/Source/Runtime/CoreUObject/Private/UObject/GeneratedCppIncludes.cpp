#include "UObject/GeneratedCppIncludes.h"

#include "UObject/ObjectConstruction.h"
#include "UObject/Package.h"
#include "UObject/UObjectArray.h"

namespace UE::CoreUObject
{
	namespace
	{
		FString SpecifierName(const TCHAR* Specifier)
		{
			FString Name(Specifier);
			Name.Split("=", &Name, nullptr);
			return Name.TrimStartAndEnd();
		}

		void StoreDeclaration(FReflectionMetaData& Data, std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData)
		{
			for (const TCHAR* Specifier : Specifiers)
			{
				Data.AddSpecifier(FString(Specifier));
			}
			for (const FMetaDataPair& Pair : MetaData)
			{
				Data.SetMetaData(FName(Pair.Key), FString(Pair.Value));
			}
		}

		EFunctionFlags FunctionFlagsFromSpecifiers(std::initializer_list<const TCHAR*> Specifiers)
		{
			EFunctionFlags Flags = FUNC_Native | FUNC_Public;
			for (const TCHAR* Specifier : Specifiers)
			{
				const FString Name = SpecifierName(Specifier);
				if (Name == "BlueprintCallable")
				{
					Flags |= FUNC_BlueprintCallable;
				}
				else if (Name == "BlueprintPure")
				{
					Flags |= FUNC_BlueprintCallable | FUNC_BlueprintPure;
				}
				else if (Name == "BlueprintImplementableEvent")
				{
					// Implemented only by a blueprint, so it has no native code.
					Flags = (Flags | FUNC_Event | FUNC_BlueprintEvent) & ~FUNC_Native;
				}
				else if (Name == "BlueprintNativeEvent")
				{
					Flags |= FUNC_Event | FUNC_BlueprintEvent;
				}
				else if (Name == "Exec")
				{
					Flags |= FUNC_Exec;
				}
			}
			return Flags;
		}

		/** Makes a reflection object (class, struct, function, enum) of MetaClass, rooted for good. */
		template <typename ReflectionType>
		ReflectionType* ConstructReflectionObject(UObject* Outer, const TCHAR* Name)
		{
			const FName ObjectName(Name);
			checkf(FUObjectArray::Get().FindByName(Outer, ObjectName) == nullptr, TEXT("Two reflected types named %s in %s"), Name,
				*Outer->GetPathName());
			UObject* Object = Private::ConstructObject(ReflectionType::StaticClass(), Outer, ObjectName,
				RF_Public | RF_MarkAsNative | RF_MarkAsRootSet, sizeof(ReflectionType), alignof(ReflectionType),
				[](void* Memory, const FObjectInitializer&) -> UObject* { return new (Memory) ReflectionType(); });
			return static_cast<ReflectionType*>(Object);
		}

		UPackage* GetScriptPackage(const TCHAR* PackageName)
		{
			UPackage* Package = CreatePackage(PackageName);
			Package->AddToRoot();
			return Package;
		}
	}

	void FStructBuilder::Declaration(std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData)
	{
		StoreDeclaration(Struct->GetReflectionData(), Specifiers, MetaData);
	}

	EPropertyFlags FStructBuilder::FlagsFromSpecifiers(std::initializer_list<const TCHAR*> Specifiers)
	{
		struct FSpecifierFlags
		{
			const TCHAR* Name;
			EPropertyFlags Flags;
		};
		static const FSpecifierFlags Table[] = {
			{TEXT("EditAnywhere"), CPF_Edit},
			{TEXT("EditDefaultsOnly"), CPF_Edit | CPF_DisableEditOnInstance},
			{TEXT("EditInstanceOnly"), CPF_Edit | CPF_DisableEditOnTemplate},
			{TEXT("VisibleAnywhere"), CPF_Edit | CPF_EditConst},
			{TEXT("VisibleDefaultsOnly"), CPF_Edit | CPF_EditConst | CPF_DisableEditOnInstance},
			{TEXT("VisibleInstanceOnly"), CPF_Edit | CPF_EditConst | CPF_DisableEditOnTemplate},
			{TEXT("BlueprintReadWrite"), CPF_BlueprintVisible},
			{TEXT("BlueprintReadOnly"), CPF_BlueprintVisible | CPF_BlueprintReadOnly},
			{TEXT("BlueprintAssignable"), CPF_BlueprintAssignable},
			{TEXT("Transient"), CPF_Transient},
			{TEXT("SaveGame"), CPF_SaveGame},
			{TEXT("Config"), CPF_Config},
			{TEXT("AdvancedDisplay"), CPF_AdvancedDisplay},
			{TEXT("EditFixedSize"), CPF_EditFixedSize},
		};
		EPropertyFlags Flags = CPF_None;
		for (const TCHAR* Specifier : Specifiers)
		{
			const FString Name = SpecifierName(Specifier);
			for (const FSpecifierFlags& Entry : Table)
			{
				if (Name == Entry.Name)
				{
					Flags |= Entry.Flags;
				}
			}
		}
		return Flags;
	}

	FProperty& FStructBuilder::AddProperty(const TCHAR* AuthoredName, std::unique_ptr<FProperty> Property, std::initializer_list<const TCHAR*> Specifiers,
		std::initializer_list<FMetaDataPair> MetaData)
	{
		FProperty& Added = *Property;
		Added.SetAuthoredName(AuthoredName);
		StoreDeclaration(Added.GetReflectionData(), Specifiers, MetaData);
		Struct->AddProperty(std::move(Property));
		return Added;
	}

	void FFunctionBuilder::NoteParam(EPropertyFlags ParamFlags)
	{
		if (EnumHasAnyFlags(ParamFlags, CPF_OutParm) && !EnumHasAnyFlags(ParamFlags, CPF_ReturnParm))
		{
			static_cast<UFunction*>(Struct)->FunctionFlags |= FUNC_HasOutParms;
		}
	}

	UFunction* FClassBuilder::AddFunction(const TCHAR* Name, FNativeFuncPtr Thunk, EFunctionFlags ExtraFlags, int32 ParmsSize,
		int32 ParmsAlignment, std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData)
	{
		UClass* Class = static_cast<UClass*>(Struct);
		UFunction* Function = ConstructReflectionObject<UFunction>(Class, Name);
		Function->FunctionFlags = FunctionFlagsFromSpecifiers(Specifiers) | ExtraFlags;
		Function->SetNativeFunc(Thunk);
		Function->SetSizeAndAlignment(ParmsSize, ParmsAlignment);
		StoreDeclaration(Function->GetReflectionData(), Specifiers, MetaData);
		Class->AddFunction(Function);
		return Function;
	}

	void FEnumBuilder::Declaration(std::initializer_list<const TCHAR*> Specifiers, std::initializer_list<FMetaDataPair> MetaData)
	{
		StoreDeclaration(Enum->GetReflectionData(), Specifiers, MetaData);
	}

	void FEnumBuilder::Entry(const TCHAR* Name, int64 Value, std::initializer_list<FMetaDataPair> MetaData)
	{
		UEnum_Private::FEnumEntry& Added = Entries.AddDefaulted_GetRef();
		Added.Name = FName(Name);
		Added.Value = Value;
		for (const FMetaDataPair& Pair : MetaData)
		{
			Added.MetaData.Add(FName(Pair.Key), FString(Pair.Value));
		}
	}

	void FEnumBuilder::Finish()
	{
		int64 MaxValue = -1;
		for (const UEnum_Private::FEnumEntry& Added : Entries)
		{
			MaxValue = std::max(MaxValue, Added.Value);
		}
		const FString EnumName = Enum->GetName();
		const FString MaxName = Enum->GetCppForm() == UEnum::ECppForm::Regular ? EnumName + "_MAX" : EnumName + "::" + EnumName + "_MAX";
		Entry(*MaxName, MaxValue + 1);
		Enum->SetEnums(std::move(Entries));
	}

	UClass* GetPrivateStaticClass(UClass*& Slot, const FClassParams& Params)
	{
		if (Slot)
		{
			return Slot;
		}
		UClass* Class = ConstructReflectionObject<UClass>(GetScriptPackage(Params.PackageName), Params.Name);
		Slot = Class;
		UClass* Super = Params.SuperClass ? Params.SuperClass() : nullptr;
		Class->SetSuperStruct(Super);
		Class->SetSizeAndAlignment(Params.Size, Params.Alignment);
		Class->ClassFlags = Params.Flags | CLASS_Native;
		Class->SetNativeConstruction(Params.Constructor, Params.AddReferencedObjects);
		FClassBuilder Builder(Class);
		Params.Build(Builder);
		return Class;
	}

	UScriptStruct* GetPrivateStaticStruct(UScriptStruct*& Slot, const FStructParams& Params)
	{
		if (Slot)
		{
			return Slot;
		}
		UScriptStruct* Struct = ConstructReflectionObject<UScriptStruct>(GetScriptPackage(Params.PackageName), Params.Name);
		Slot = Struct;
		Struct->SetSuperStruct(Params.SuperStruct ? Params.SuperStruct() : nullptr);
		Struct->SetSizeAndAlignment(Params.Size, Params.Alignment);
		Struct->StructFlags = STRUCT_Native;
		if (Params.MakeOps)
		{
			Struct->SetCppStructOps(Params.MakeOps());
		}
		FStructBuilder Builder(Struct);
		Params.Build(Builder);
		return Struct;
	}

	UEnum* GetPrivateStaticEnum(UEnum*& Slot, const FEnumParams& Params)
	{
		if (Slot)
		{
			return Slot;
		}
		UEnum* Enum = ConstructReflectionObject<UEnum>(GetScriptPackage(Params.PackageName), Params.Name);
		Slot = Enum;
		Enum->SetCppForm(Params.CppForm);
		FEnumBuilder Builder(Enum);
		Params.Build(Builder);
		return Enum;
	}
}
