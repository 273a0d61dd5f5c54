#include "Engine/Texture2D.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "UObject/Package.h"
#include "UObject/UnrealType.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	UTexture* Lookup(const UMaterialInterface& Material, const TCHAR* Name, bool bOveriddenOnly = false, bool* bFound = nullptr)
	{
		UTexture* Value = nullptr;
		const bool bHas = Material.GetTextureParameterValue(FMaterialParameterInfo(Name), Value, bOveriddenOnly);
		if (bFound)
		{
			*bFound = bHas;
		}
		return Value;
	}

	TArray<FName> ParameterNames(const UMaterialInterface& Material)
	{
		TArray<FMaterialParameterInfo> Infos;
		Material.GetAllTextureParameterInfo(Infos);
		TArray<FName> Names;
		for (const FMaterialParameterInfo& Info : Infos)
		{
			Names.Add(Info.Name);
		}
		return Names;
	}

	class MaterialInstanceTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Base = NewObject<UMaterial>();
			Albedo = UTexture2D::CreateTransient(1, 1);
			Normal = UTexture2D::CreateTransient(1, 1);
			Base->AddTextureParameter(FName(TEXT("BC_Texture")), Albedo);
			Base->AddTextureParameter(FName(TEXT("N_Texture")), Normal);
		}

		UMaterial* Base = nullptr;
		UTexture2D* Albedo = nullptr;
		UTexture2D* Normal = nullptr;
	};
}

TEST_F(MaterialInstanceTest, BaseMaterialsGiveTheirDefaults)
{
	bool bFound = false;
	EXPECT_EQ(Lookup(*Base, TEXT("bc_texture"), false, &bFound), Albedo) << "parameter names compare without letter case";
	EXPECT_TRUE(bFound);
	Lookup(*Base, TEXT("BC_Texture"), true, &bFound);
	EXPECT_FALSE(bFound) << "a base material overrides nothing";
	UTexture* Untouched = Normal;
	EXPECT_FALSE(Base->GetTextureParameterValue(FMaterialParameterInfo(TEXT("CM_Texture")), Untouched));
	EXPECT_EQ(Untouched, Normal);
	EXPECT_EQ(ParameterNames(*Base), (TArray<FName>{FName(TEXT("BC_Texture")), FName(TEXT("N_Texture"))}));
	EXPECT_EQ(Base->GetMaterial(), Base);

	Base->AddTextureParameter(FName(TEXT("BC_TEXTURE")), Normal);
	EXPECT_EQ(Lookup(*Base, TEXT("BC_Texture")), Normal) << "declaring again replaces the default";
	EXPECT_EQ(ParameterNames(*Base).Num(), 2);
	EXPECT_THROW(Base->AddTextureParameter(NAME_None, Albedo), FCheckFailure);
}

TEST_F(MaterialInstanceTest, InstancesOverrideSomeParametersAndReadTheRestFromTheirParent)
{
	UObject* Outer = NewObject<UMaterial>();
	UMaterialInstanceDynamic* Instance = UMaterialInstanceDynamic::Create(Base, Outer);
	EXPECT_EQ(Instance->GetOuter(), Outer);
	EXPECT_EQ(Instance->Parent, Base);
	EXPECT_EQ(Instance->GetMaterial(), Base);
	EXPECT_EQ(Instance->K2_GetTextureParameterValue(FName(TEXT("BC_Texture"))), Albedo);

	UTexture2D* Edited = UTexture2D::CreateTransient(2, 2);
	Instance->SetTextureParameterValue(FName(TEXT("BC_Texture")), Edited);
	EXPECT_EQ(Instance->K2_GetTextureParameterValue(FName(TEXT("bc_texture"))), Edited);
	EXPECT_EQ(Lookup(*Instance, TEXT("BC_Texture"), true), Edited);
	EXPECT_EQ(Lookup(*Instance, TEXT("N_Texture")), Normal);
	bool bFound = true;
	Lookup(*Instance, TEXT("N_Texture"), true, &bFound);
	EXPECT_FALSE(bFound);
	EXPECT_EQ(Lookup(*Base, TEXT("BC_Texture")), Albedo) << "the parent is untouched";

	// Null is a value too, and names the parent lacks are kept.
	Instance->SetTextureParameterValue(FName(TEXT("N_Texture")), nullptr);
	Lookup(*Instance, TEXT("N_Texture"), false, &bFound);
	EXPECT_TRUE(bFound);
	EXPECT_EQ(Lookup(*Instance, TEXT("N_Texture")), nullptr);
	Instance->SetTextureParameterValue(FName(TEXT("CM_Texture")), Edited);
	EXPECT_EQ(Lookup(*Instance, TEXT("CM_Texture")), Edited);
	EXPECT_EQ(ParameterNames(*Instance),
		(TArray<FName>{FName(TEXT("BC_Texture")), FName(TEXT("N_Texture")), FName(TEXT("CM_Texture"))}));
	EXPECT_EQ(Instance->TextureParameterValues.Num(), 3);

	Instance->ClearParameterValues();
	EXPECT_EQ(Instance->K2_GetTextureParameterValue(FName(TEXT("BC_Texture"))), Albedo);
	EXPECT_EQ(Instance->K2_GetTextureParameterValue(FName(TEXT("CM_Texture"))), nullptr);
}

TEST_F(MaterialInstanceTest, InstancesOfInstancesChainToTheBase)
{
	UMaterialInstanceDynamic* Middle = UMaterialInstanceDynamic::Create(Base, nullptr, FName(TEXT("MI_Middle")));
	EXPECT_EQ(Middle->GetOuter(), GetTransientPackage());
	EXPECT_EQ(Middle->GetFName(), FName(TEXT("MI_Middle")));
	UTexture2D* Override = UTexture2D::CreateTransient(1, 1);
	Middle->SetTextureParameterValue(FName(TEXT("N_Texture")), Override);
	UMaterialInstanceDynamic* Top = UMaterialInstanceDynamic::Create(Middle, nullptr);
	EXPECT_EQ(Top->GetMaterial(), Base);
	EXPECT_EQ(Lookup(*Top, TEXT("N_Texture")), Override);
	EXPECT_EQ(Lookup(*Top, TEXT("N_Texture"), true), Override) << "a parent instance's value is an override too";
	EXPECT_EQ(Lookup(*Top, TEXT("BC_Texture")), Albedo);

	UMaterialInstanceDynamic* Orphan = UMaterialInstanceDynamic::Create(nullptr, nullptr);
	EXPECT_EQ(Orphan->GetMaterial(), nullptr);
	EXPECT_EQ(Orphan->K2_GetTextureParameterValue(FName(TEXT("BC_Texture"))), nullptr);
	EXPECT_TRUE(ParameterNames(*Orphan).IsEmpty());
	Orphan->SetTextureParameterValue(FName(TEXT("BC_Texture")), Albedo);
	EXPECT_EQ(Orphan->K2_GetTextureParameterValue(FName(TEXT("BC_Texture"))), Albedo);
}

TEST_F(MaterialInstanceTest, SetAndGetAreCallableByName)
{
	UMaterialInstanceDynamic* Instance = UMaterialInstanceDynamic::Create(Base, nullptr);
	UFunction* Setter = Instance->FindFunction(FName(TEXT("SetTextureParameterValue")));
	UFunction* Getter = Instance->FindFunction(FName(TEXT("K2_GetTextureParameterValue")));
	ASSERT_NE(Setter, nullptr);
	ASSERT_NE(Getter, nullptr);
	// The parameter blocks are laid out by reflection, as a caller by name (the studio) builds them.
	auto Call = [Instance](UFunction* Function, UTexture* Value)
	{
		TArray<uint8> Block;
		Block.SetNumZeroed(Function->ParmsSize());
		void* Parms = Block.GetData();
		Function->InitializeParms(Parms);
		*Function->GetParameters()[0]->ContainerPtrToValuePtr<FName>(Parms) = FName(TEXT("BC_Texture"));
		if (Function->GetReturnProperty() == nullptr)
		{
			*Function->GetParameters()[1]->ContainerPtrToValuePtr<UTexture*>(Parms) = Value;
		}
		Instance->ProcessEvent(Function, Parms);
		UTexture* Result = Function->GetReturnProperty() ? *Function->GetReturnProperty()->ContainerPtrToValuePtr<UTexture*>(Parms) : nullptr;
		Function->DestroyParms(Parms);
		return Result;
	};
	Call(Setter, Normal);
	EXPECT_EQ(Call(Getter, nullptr), Normal);
}
