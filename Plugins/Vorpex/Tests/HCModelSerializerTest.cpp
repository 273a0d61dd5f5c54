// The model serializer's bytes: the layouts byte for byte, names in both string forms, a
// round trip through both models, and damaged or mismatched input refused before anything
// changes.

#include "Components/SkeletalMeshComponent.h"
#include "Controllers/HCMorphShapingController.h"
#include "Controllers/HCTextureEditingController.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "HCEditState.h"
#include "HCModelSerializer.h"
#include "HCMorphShapingTestSupport.h"
#include "HCTextureEditingTestSupport.h"
#include "Models/HCTextureEditingModel.h"

#include <cstring>

using HCMorphShapingTest::MakeConstraint;
using HCMorphShapingTest::MakeMesh;
using HCMorphShapingTest::Weights;

namespace
{
	/** Bytes as "00 01 ff", for readable differences. */
	FString Hex(const TArray<uint8>& Bytes)
	{
		TArray<FString> Parts;
		for (const uint8 Byte : Bytes)
		{
			Parts.Add(FString::Printf(TEXT("%02x"), Byte));
		}
		return FString::Join(Parts, TEXT(" "));
	}

	void AppendInt32(TArray<uint8>& Bytes, int32 Value)
	{
		for (int32 Shift = 0; Shift < 32; Shift += 8)
		{
			Bytes.Add(static_cast<uint8>(static_cast<uint32>(Value) >> Shift));
		}
	}

	void PatchInt32(TArray<uint8>& Bytes, int32 Offset, int32 Value)
	{
		TArray<uint8> Encoded;
		AppendInt32(Encoded, Value);
		std::memcpy(Bytes.GetData() + Offset, Encoded.GetData(), 4);
	}

	/** A header with the given sections, as a serializer writes it. */
	TArray<uint8> Header(bool bMorph, bool bTexture)
	{
		TArray<uint8> Bytes;
		AppendInt32(Bytes, 0);
		AppendInt32(Bytes, bMorph ? 1 : 0);
		AppendInt32(Bytes, bTexture ? 1 : 0);
		AppendInt32(Bytes, 1);
		return Bytes;
	}

	/**
	 * Skin composition with three colorizes among other interface processors: component 0
	 * stack 0 (image, colorize), component 0 stack 1 (image, swizzle, colorize), component 1
	 * stack 0 (image, colorize).
	 */
	const TCHAR* SkinJson = TEXT(R"({"components": [
		{"meshes": ["Body"], "processorStacks": [
			{"materialKey": "_BaseColorMap", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]}, {"type": "Colorize"}]},
			{"materialKey": "", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]},
				{"type": "Swizzle", "intParams": [3, 2, 1, 9]}, {"type": "Colorize"}]}]},
		{"meshes": ["Face"], "processorStacks": [
			{"materialKey": "_BaseColorMap", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]}, {"type": "Colorize"}]}]}]})");

	/** Where the skin composition's colorizes are: component, stack and interface index. */
	const int32 ColorizeAddresses[3][3] = {{0, 0, 1}, {0, 1, 2}, {1, 0, 1}};

	const TCHAR* Smile = TEXT("L\u00e4cheln");
}

/** Models as editing has them: a morph model over a mesh's morph targets and a texture model built from SkinJson. */
class HCModelSerializerTest : public HCTextureEditingTest
{
protected:
	void BuildModels(std::initializer_list<const TCHAR*> MorphTargetNames)
	{
		MorphModel = Keep(NewObject<UHCMorphShapingModel>());
		MorphModel->Initialize(nullptr, Keep(MakeMesh(MorphTargetNames)));
		MorphController = Keep(NewObject<UHCMorphShapingController>());
		MorphController->SetModel(MorphModel);

		WriteUniformPng(TEXT("Textures/T_White.png"), FColor(255, 255, 255, 255));
		TextureModel = Keep(NewObject<UHCTextureEditingModel>());
		TextureModel->Initialize(LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Skin.json"), SkinJson), nullptr);
		ASSERT_EQ(TextureModel->GetImageProcessorComponents().Num(), 2);
		TextureController = Keep(NewObject<UHCTextureEditingController>());
		TextureController->SetModel(TextureModel);

		Serializer = Keep(NewObject<UHCModelSerializer>());
		Serializer->SetMorphShapingModel(MorphModel);
		Serializer->SetTextureEditingModel(TextureModel);
	}

	template <typename ObjectType>
	ObjectType* Keep(ObjectType* Object)
	{
		Kept.Add(TStrongObjectPtr<UObject>(Object));
		return Object;
	}

	UHCColorize* Colorize(int32 Index) const
	{
		const int32* Address = ColorizeAddresses[Index];
		return Cast<UHCColorize>(
			TextureModel->GetImageProcessorComponents()[Address[0]].ImageProcessorStacks[Address[1]].InterfaceProcessors[Address[2]].Get());
	}

	void SetColors(FColor A, FColor B, FColor C) const
	{
		Colorize(0)->SetColor(A);
		Colorize(1)->SetColor(B);
		Colorize(2)->SetColor(C);
	}

	void SetWeight(const TCHAR* Name, float Weight) const
	{
		const FHCShapeConstraints Constraint = MakeConstraint(TEXT("Test"), {Name});
		MorphController->UpdateModel(&Constraint, 0, Weight, -1, 0.0f);
	}

	/** Pushes both models, which leaves them clean. */
	void ApplyBoth()
	{
		MorphController->ApplyChanges(Keep(NewObject<USkeletalMeshComponent>()));
		TextureController->ApplyChanges();
		FlushRenderingCommands();
		ASSERT_FALSE(MorphModel->IsMarkedDirty());
		ASSERT_FALSE(TextureModel->IsMarkedDirty());
	}

	/** Everything loading may change: weights in order, colours and both flags. */
	TArray<FString> Snapshot() const
	{
		TArray<FString> State = Weights(MorphModel);
		for (int32 Index = 0; Index < 3; ++Index)
		{
			const FColor Color = Colorize(Index)->GetColor();
			State.Add(FString::Printf(TEXT("colour %d = %d %d %d %d"), Index, Color.R, Color.G, Color.B, Color.A));
		}
		State.Add(FString::Printf(TEXT("dirty %d %d"), MorphModel->IsMarkedDirty(), TextureModel->IsMarkedDirty()));
		return State;
	}

	TArray<uint8> Serialize() const
	{
		TArray<uint8> Bytes;
		EXPECT_TRUE(Serializer->SerializeToBytes(Bytes));
		return Bytes;
	}

	UHCMorphShapingModel* MorphModel = nullptr;
	UHCMorphShapingController* MorphController = nullptr;
	UHCTextureEditingModel* TextureModel = nullptr;
	UHCTextureEditingController* TextureController = nullptr;
	UHCModelSerializer* Serializer = nullptr;
};

TEST_F(HCModelSerializerTest, WithoutModelsTheBytesAreTheSixteenByteHeader)
{
	UHCModelSerializer* Bare = Keep(NewObject<UHCModelSerializer>());
	TArray<uint8> Bytes;
	EXPECT_TRUE(Bare->SerializeToBytes(Bytes));
	EXPECT_EQ(Hex(Bytes), TEXT("00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00"));

	// Both read back, and so does nothing at all; the reserved fields are not looked at.
	EXPECT_TRUE(Bare->DeserializeFromBytes(Bytes));
	EXPECT_TRUE(Bare->DeserializeFromBytes(TArray<uint8>()));
	PatchInt32(Bytes, 0, 7);
	PatchInt32(Bytes, 12, -3);
	EXPECT_TRUE(Bare->DeserializeFromBytes(Bytes));
}

TEST_F(HCModelSerializerTest, OneMorphWeightIsThirtyBytes)
{
	UHCMorphShapingModel* Model = Keep(NewObject<UHCMorphShapingModel>());
	Model->Initialize(nullptr, Keep(MakeMesh({TEXT("A")})));
	UHCMorphShapingController* Controller = Keep(NewObject<UHCMorphShapingController>());
	Controller->SetModel(Model);
	const FHCShapeConstraints Constraint = MakeConstraint(TEXT("A"), {TEXT("A")});
	Controller->UpdateModel(&Constraint, 0, 0.5f, -1, 0.0f);

	UHCModelSerializer* MorphOnly = Keep(NewObject<UHCModelSerializer>());
	MorphOnly->SetMorphShapingModel(Model);
	TArray<uint8> Bytes;
	EXPECT_TRUE(MorphOnly->SerializeToBytes(Bytes));
	EXPECT_EQ(Hex(Bytes), TEXT("00 00 00 00 01 00 00 00 00 00 00 00 01 00 00 00 "
							   "01 00 00 00 02 00 00 00 41 00 00 00 00 3f"));

	// A serializer with nothing set writes the header over the start and leaves the rest.
	UHCModelSerializer* Bare = Keep(NewObject<UHCModelSerializer>());
	EXPECT_TRUE(Bare->SerializeToBytes(Bytes));
	EXPECT_EQ(Hex(Bytes), TEXT("00 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00 "
							   "01 00 00 00 02 00 00 00 41 00 00 00 00 3f"));
	// Those bytes still load into the bare serializer: what follows the header is never read.
	EXPECT_TRUE(Bare->DeserializeFromBytes(Bytes));
}

TEST_F(HCModelSerializerTest, NamesBeyondAsciiTravelAsUtf16WithANegativeLength)
{
	const TCHAR* Grin = TEXT("\U0001F600");
	UHCMorphShapingModel* Model = Keep(NewObject<UHCMorphShapingModel>());
	Model->Initialize(nullptr, Keep(MakeMesh({Smile, Grin, TEXT("Jaw~")})));
	UHCModelSerializer* MorphOnly = Keep(NewObject<UHCModelSerializer>());
	MorphOnly->SetMorphShapingModel(Model);
	TArray<uint8> Bytes;
	MorphOnly->SerializeToBytes(Bytes);
	EXPECT_EQ(Hex(Bytes), TEXT("00 00 00 00 01 00 00 00 00 00 00 00 01 00 00 00 03 00 00 00 "
							   // "Lächeln": 7 units and the zero, ä as e4 00
							   "f8 ff ff ff 4c 00 e4 00 63 00 68 00 65 00 6c 00 6e 00 00 00 00 00 00 00 "
							   // U+1F600 as the surrogate pair d83d de00
							   "fd ff ff ff 3d d8 00 de 00 00 00 00 00 00 "
							   // every character below 128: one byte each
							   "05 00 00 00 4a 61 77 7e 00 00 00 00 00"));

	// Read back into a fresh model, the names come back as they were.
	UHCMorphShapingModel* Loaded = Keep(NewObject<UHCMorphShapingModel>());
	UHCModelSerializer* Reader = Keep(NewObject<UHCModelSerializer>());
	Reader->SetMorphShapingModel(Loaded);
	ASSERT_TRUE(Reader->DeserializeFromBytes(Bytes));
	EXPECT_EQ(Weights(Loaded), Weights(Model));

	// One-byte names are Latin-1 to the engine's archives: e4 is ä, whatever wrote it.
	TArray<uint8> Latin = Header(true, false);
	AppendInt32(Latin, 1);
	AppendInt32(Latin, 3);
	Latin.Append({0x4b, 0xe4, 0x00});
	AppendInt32(Latin, 0x3f800000);
	ASSERT_TRUE(Reader->DeserializeFromBytes(Latin));
	EXPECT_EQ(Loaded->GetMorphTargetWeights().FindRef(TEXT("K\u00e4")), 1.0f);
}

TEST_F(HCModelSerializerTest, ARoundTripRestoresWeightsAndColoursAndMarksBothModelsDirty)
{
	BuildModels({TEXT("Brow_Up"), Smile, TEXT("Jaw")});
	SetWeight(TEXT("Brow_Up"), 0.25f);
	SetWeight(Smile, -0.5f);
	SetColors(FColor(10, 20, 30, 40), FColor(50, 60, 70, 80), FColor(90, 100, 110, 120));
	const TArray<uint8> Saved = Serialize();

	// The colour section: only the colorizes, by component, stack and interface index, B G R A.
	TArray<uint8> Colours;
	AppendInt32(Colours, 3);
	for (int32 Index = 0; Index < 3; ++Index)
	{
		for (const int32 Position : ColorizeAddresses[Index])
		{
			AppendInt32(Colours, Position);
		}
		const FColor Color = Colorize(Index)->GetColor();
		Colours.Append({Color.B, Color.G, Color.R, Color.A});
	}
	ASSERT_GT(Saved.Num(), Colours.Num());
	EXPECT_EQ(Hex(TArray<uint8>(Saved.GetData() + Saved.Num() - Colours.Num(), Colours.Num())), Hex(Colours));
	EXPECT_EQ(Hex(TArray<uint8>(Saved.GetData(), 16)), Hex(Header(true, true)));

	// Change everything, push, and add a morph target the bytes do not know.
	SetWeight(TEXT("Brow_Up"), 0.9f);
	SetWeight(Smile, 0.0f);
	SetWeight(TEXT("Jaw"), 0.125f);
	SetColors(FColor::White, FColor::White, FColor::White);
	MorphModel->Initialize(nullptr, Keep(MakeMesh({TEXT("Cheek")})));
	SetWeight(TEXT("Cheek"), 0.75f);
	ApplyBoth();

	ASSERT_TRUE(Serializer->DeserializeFromBytes(Saved));
	EXPECT_EQ(Weights(MorphModel), (TArray<FString>{TEXT("Brow_Up=0.25"), FString(Smile) + TEXT("=-0.5"), TEXT("Jaw=0"), TEXT("Cheek=0.75")}));
	EXPECT_EQ(Colorize(0)->GetColor(), FColor(10, 20, 30, 40));
	EXPECT_EQ(Colorize(1)->GetColor(), FColor(50, 60, 70, 80));
	EXPECT_EQ(Colorize(2)->GetColor(), FColor(90, 100, 110, 120));
	EXPECT_TRUE(MorphModel->IsMarkedDirty());
	EXPECT_TRUE(TextureModel->IsMarkedDirty());

	// A name the model lacks is added at the end; one it has in another spelling keeps the
	// model's spelling; any non-zero flag counts as present.
	TArray<uint8> Other = Header(true, true);
	PatchInt32(Other, 4, 7);
	AppendInt32(Other, 2);
	AppendInt32(Other, 8);
	Other.Append({'B', 'R', 'O', 'W', '_', 'U', 'P', 0});
	AppendInt32(Other, 0x3f000000);
	AppendInt32(Other, 7);
	Other.Append({'D', 'i', 'm', 'p', 'l', 'e', 0});
	AppendInt32(Other, 0x3e800000);
	AppendInt32(Other, 0);
	ASSERT_TRUE(Serializer->DeserializeFromBytes(Other));
	EXPECT_EQ(Weights(MorphModel),
		(TArray<FString>{TEXT("Brow_Up=0.5"), FString(Smile) + TEXT("=-0.5"), TEXT("Jaw=0"), TEXT("Cheek=0.75"), TEXT("Dimple=0.25")}));
}

TEST_F(HCModelSerializerTest, DamagedOrMismatchedBytesAreRefusedAndBothModelsStayAsTheyWere)
{
	BuildModels({TEXT("Brow_Up"), Smile});
	SetWeight(TEXT("Brow_Up"), 0.25f);
	SetWeight(Smile, -0.5f);
	SetColors(FColor(10, 20, 30, 40), FColor(50, 60, 70, 80), FColor(90, 100, 110, 120));
	// Offsets: morph count 16; "Brow_Up" length 20, its zero 31, weight 32; the UTF-16 name's
	// length 36, its zero 54, weight 56; colour count 60; colours at 64, 80 and 96; end 112.
	const TArray<uint8> Valid = Serialize();
	ASSERT_EQ(Valid.Num(), 112);

	// What the models hold when the damaged bytes arrive differs from what the bytes hold,
	// so anything applied on the way would show.
	SetWeight(TEXT("Brow_Up"), 0.9f);
	SetColors(FColor::White, FColor::White, FColor::White);
	ApplyBoth();
	const TArray<FString> Before = Snapshot();

	auto ExpectRefused = [&](const TArray<uint8>& Bytes, const FString& Error, const FString& Case)
	{
		FLogCapture Capture;
		EXPECT_FALSE(Serializer->DeserializeFromBytes(Bytes)) << *Case;
		const TArray<FString> Lines = Capture.GetLines();
		if (Error.IsEmpty())
		{
			ASSERT_EQ(Lines.Num(), 1) << *Case;
			EXPECT_TRUE(Lines[0].StartsWith(TEXT("LogTemp: Error: UHCModelSerializer::DeserializeFromBytes - "))) << *Lines[0];
			EXPECT_TRUE(Lines[0].EndsWith(TEXT("; nothing was loaded"))) << *Lines[0];
		}
		else
		{
			EXPECT_EQ(Lines, TArray<FString>{FString::Printf(TEXT("LogTemp: Error: UHCModelSerializer::DeserializeFromBytes - %s; nothing was loaded"),
								 *Error)}) << *Case;
		}
		EXPECT_EQ(Snapshot(), Before) << *Case;
	};

	// Cut off anywhere, the empty input included (a header without sections, which these models do not fit).
	for (int32 Length = 0; Length < Valid.Num(); ++Length)
	{
		ExpectRefused(TArray<uint8>(Valid.GetData(), Length), FString(), FString::Printf(TEXT("cut to %d bytes"), Length));
	}
	ExpectRefused(TArray<uint8>(Valid.GetData(), 10), TEXT("The input ends inside the header, after 10 of its 16 bytes"), TEXT("header"));
	ExpectRefused(TArray<uint8>(Valid.GetData(), 18), TEXT("The input ends at offset 16, inside the count of morph weights"), TEXT("count"));
	ExpectRefused(TArray<uint8>(Valid.GetData(), 58), TEXT("The input ends inside morph weight 1 at offset 36"), TEXT("weight"));
	ExpectRefused(TArray<uint8>(Valid.GetData(), 100),
		TEXT("The count of colours at offset 60 is 3, more than the 36 bytes after it can hold"), TEXT("colours"));

	struct FPatch
	{
		int32 Offset;
		int32 Value;
		const TCHAR* Error;
	};
	const FPatch Patches[] = {
		{4, 0, TEXT("The bytes hold no morph weights, but a morph-shaping model is set")},
		{8, 0, TEXT("The bytes hold no colours, but a texture-editing model is set")},
		{16, -1, TEXT("The count of morph weights at offset 16 is negative (-1)")},
		{16, 12, TEXT("The count of morph weights at offset 16 is 12, more than the 92 bytes after it can hold")},
		{16, MAX_int32, TEXT("The count of morph weights at offset 16 is 2147483647, more than the 92 bytes after it can hold")},
		{20, 1000, TEXT("The name of morph weight 0 at offset 20 runs past the end of the input or does not end in a zero")},
		{20, MIN_int32, TEXT("The name of morph weight 0 at offset 20 runs past the end of the input or does not end in a zero")},
		{36, -100000, TEXT("The name of morph weight 1 at offset 36 runs past the end of the input or does not end in a zero")},
		{28, 0x58585858, TEXT("The name of morph weight 0 at offset 20 runs past the end of the input or does not end in a zero")},
		{52, 0x00580058, TEXT("The name of morph weight 1 at offset 36 runs past the end of the input or does not end in a zero")},
		{60, -2, TEXT("The count of colours at offset 60 is negative (-2)")},
		{60, 4, TEXT("The count of colours at offset 60 is 4, more than the 48 bytes after it can hold")},
		// The last colour is the one that is wrong, after weights and colours that would apply.
		{96, 2, TEXT("Colour 2 (component 2, stack 0, processor 1) addresses no colorize processor of the texture-editing model")},
		{96, -1, TEXT("Colour 2 (component -1, stack 0, processor 1) addresses no colorize processor of the texture-editing model")},
		{100, 1, TEXT("Colour 2 (component 1, stack 1, processor 1) addresses no colorize processor of the texture-editing model")},
		{104, 2, TEXT("Colour 2 (component 1, stack 0, processor 2) addresses no colorize processor of the texture-editing model")},
		// An image texture's place in the interface is empty; a swizzle is no colorize.
		{104, 0, TEXT("Colour 2 (component 1, stack 0, processor 0) addresses no colorize processor of the texture-editing model")},
		{88, 1, TEXT("Colour 1 (component 0, stack 1, processor 1) addresses no colorize processor of the texture-editing model")},
	};
	for (const FPatch& Patch : Patches)
	{
		TArray<uint8> Bytes = Valid;
		PatchInt32(Bytes, Patch.Offset, Patch.Value);
		ExpectRefused(Bytes, Patch.Error, FString::Printf(TEXT("%d at offset %d"), Patch.Value, Patch.Offset));
	}

	// Sections the serializer has no model for, or models the bytes have no section for.
	UHCModelSerializer* MorphOnly = Keep(NewObject<UHCModelSerializer>());
	MorphOnly->SetMorphShapingModel(MorphModel);
	FLogCapture Capture;
	EXPECT_FALSE(MorphOnly->DeserializeFromBytes(Valid));
	UHCModelSerializer* Bare = Keep(NewObject<UHCModelSerializer>());
	EXPECT_FALSE(Bare->DeserializeFromBytes(Valid));
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error), (TArray<FString>{
		TEXT("UHCModelSerializer::DeserializeFromBytes - The bytes hold colours, but there is no texture-editing model to load them into; nothing was loaded"),
		TEXT("UHCModelSerializer::DeserializeFromBytes - The bytes hold morph weights, but there is no morph-shaping model to load them into; nothing was loaded")}));
	EXPECT_EQ(Snapshot(), Before);

	// The same bytes, whole, still load.
	EXPECT_TRUE(Serializer->DeserializeFromBytes(Valid));
	EXPECT_EQ(Colorize(2)->GetColor(), FColor(90, 100, 110, 120));
}

TEST_F(HCModelSerializerTest, AModelTheGarbageCollectorTookIsNoLongerWritten)
{
	UHCModelSerializer* MorphOnly = Keep(NewObject<UHCModelSerializer>());
	MorphOnly->SetMorphShapingModel(NewObject<UHCMorphShapingModel>());
	CollectGarbage();
	TArray<uint8> Bytes;
	EXPECT_TRUE(MorphOnly->SerializeToBytes(Bytes));
	EXPECT_EQ(Hex(Bytes), Hex(Header(false, false)));
}
