#include "GltfBuilder.h"

#include <algorithm>
#include <cstring>

namespace UE::AssetIO::Private
{
	namespace
	{
		const char* TypeOf(int32 Components)
		{
			switch (Components)
			{
			case 1: return "SCALAR";
			case 2: return "VEC2";
			case 3: return "VEC3";
			case 4: return "VEC4";
			default: return "MAT4";
			}
		}

		/** Per-component minimum and maximum of Values, as the validator compares them: the stored floats. */
		void Bounds(const float* Values, int64 NumValues, int32 Components, FGltfBuilder::FJson& Accessor)
		{
			FGltfBuilder::FJson Min = FGltfBuilder::FJson::array();
			FGltfBuilder::FJson Max = FGltfBuilder::FJson::array();
			for (int32 Component = 0; Component < Components; ++Component)
			{
				float Low = Values[Component];
				float High = Values[Component];
				for (int64 Index = Component; Index < NumValues; Index += Components)
				{
					Low = std::min(Low, Values[Index]);
					High = std::max(High, Values[Index]);
				}
				Min.push_back(double(Low));
				Max.push_back(double(High));
			}
			Accessor["min"] = Min;
			Accessor["max"] = Max;
		}

		void AppendChunk(TArray<uint8>& Out, uint32 Type, const uint8* Data, uint32 Length, uint8 Padding)
		{
			const uint32 Padded = (Length + 3) & ~3u;
			const uint32 Header[2] = {Padded, Type};
			Out.Append(reinterpret_cast<const uint8*>(Header), sizeof(Header));
			Out.Append(Data, int32(Length));
			for (uint32 Extra = Length; Extra < Padded; ++Extra)
			{
				Out.Add(Padding);
			}
		}
	}

	int32 FGltfBuilder::AddBufferView(const void* Bytes, int64 NumBytes, int32 Target)
	{
		while (Bin.Num() % 4 != 0)
		{
			Bin.Add(0);
		}
		checkf(NumBytes <= int64(MAX_int32) - Bin.Num(), TEXT("the file would hold more than %d bytes of data"), MAX_int32);
		FJson View = {{"buffer", 0}, {"byteOffset", Bin.Num()}, {"byteLength", NumBytes}};
		if (Target != 0)
		{
			View["target"] = Target;
		}
		Bin.Append(static_cast<const uint8*>(Bytes), int32(NumBytes));
		return Add("bufferViews", std::move(View));
	}

	int32 FGltfBuilder::AddAccessor(FJson Accessor)
	{
		return Add("accessors", std::move(Accessor));
	}

	int32 FGltfBuilder::AddFloatAccessor(const TArray<float>& Values, int32 Components, bool bMinMax, int32 Target)
	{
		FJson Accessor = {{"bufferView", AddBufferView(Values.GetData(), int64(Values.Num()) * sizeof(float), Target)},
			{"componentType", FloatType}, {"count", Values.Num() / Components}, {"type", TypeOf(Components)}};
		if (bMinMax)
		{
			Bounds(Values.GetData(), Values.Num(), Components, Accessor);
		}
		return AddAccessor(std::move(Accessor));
	}

	int32 FGltfBuilder::AddSparseVec3Accessor(int32 NumElements, const TArray<uint32>& Indices, const TArray<float>& Values)
	{
		FJson Accessor = {{"componentType", FloatType}, {"count", NumElements}, {"type", "VEC3"}};
		// The bounds cover the zeros of the elements not listed too, when there are any.
		TArray<float> Covered = Values;
		if (Indices.Num() < NumElements)
		{
			Covered.Append({0.0f, 0.0f, 0.0f});
		}
		Bounds(Covered.GetData(), Covered.Num(), 3, Accessor);
		if (!Indices.IsEmpty())
		{
			const bool bShort = NumElements <= int32(MAX_uint16) + 1;
			int32 IndexView = INDEX_NONE;
			if (bShort)
			{
				TArray<uint16> Short;
				for (const uint32 Index : Indices)
				{
					Short.Add(uint16(Index));
				}
				IndexView = AddBufferView(Short.GetData(), int64(Short.Num()) * sizeof(uint16), 0);
			}
			else
			{
				IndexView = AddBufferView(Indices.GetData(), int64(Indices.Num()) * sizeof(uint32), 0);
			}
			const int32 ValueView = AddBufferView(Values.GetData(), int64(Values.Num()) * sizeof(float), 0);
			Accessor["sparse"] = {{"count", Indices.Num()},
				{"indices", {{"bufferView", IndexView}, {"componentType", bShort ? UnsignedShortType : UnsignedIntType}}},
				{"values", {{"bufferView", ValueView}}}};
		}
		return AddAccessor(std::move(Accessor));
	}

	int32 FGltfBuilder::AddIndexAccessor(const TArray<uint32>& Indices, uint32 NumVertices)
	{
		// 65535 is the primitive restart value of 16-bit indices, which glTF forbids as an index.
		const bool bShort = NumVertices <= MAX_uint16;
		int32 View = INDEX_NONE;
		if (bShort)
		{
			TArray<uint16> Short;
			for (const uint32 Index : Indices)
			{
				Short.Add(uint16(Index));
			}
			View = AddBufferView(Short.GetData(), int64(Short.Num()) * sizeof(uint16), ElementArrayBufferTarget);
		}
		else
		{
			View = AddBufferView(Indices.GetData(), int64(Indices.Num()) * sizeof(uint32), ElementArrayBufferTarget);
		}
		return AddAccessor({{"bufferView", View}, {"componentType", bShort ? UnsignedShortType : UnsignedIntType}, {"count", Indices.Num()},
			{"type", "SCALAR"}});
	}

	int32 FGltfBuilder::AddJointAccessor(const TArray<uint32>& Joints, int32 NumJoints)
	{
		const bool bByte = NumJoints <= 256;
		int32 View = INDEX_NONE;
		if (bByte)
		{
			TArray<uint8> Bytes;
			for (const uint32 Joint : Joints)
			{
				Bytes.Add(uint8(Joint));
			}
			View = AddBufferView(Bytes.GetData(), Bytes.Num(), ArrayBufferTarget);
		}
		else
		{
			TArray<uint16> Shorts;
			for (const uint32 Joint : Joints)
			{
				Shorts.Add(uint16(Joint));
			}
			View = AddBufferView(Shorts.GetData(), int64(Shorts.Num()) * sizeof(uint16), ArrayBufferTarget);
		}
		return AddAccessor({{"bufferView", View}, {"componentType", bByte ? UnsignedByteType : UnsignedShortType}, {"count", Joints.Num() / 4},
			{"type", "VEC4"}});
	}

	int32 FGltfBuilder::Add(const char* Kind, FJson Object)
	{
		FJson& Array = Json[Kind];
		Array.push_back(std::move(Object));
		return int32(Array.size()) - 1;
	}

	FString FGltfBuilder::UniqueName(const char* Kind, const FString& Wanted)
	{
		TSet<FName>& Taken = Names.FindOrAdd(FString(Kind));
		FString Name = Wanted;
		for (int32 Suffix = 1; Taken.Contains(FName(Name)); ++Suffix)
		{
			Name = FString::Printf(TEXT("%s_%d"), *Wanted, Suffix);
		}
		Taken.Add(FName(Name));
		return Name;
	}

	TArray<uint8> FGltfBuilder::ToGlb() const
	{
		FJson Document = Json;
		if (!Bin.IsEmpty())
		{
			Document["buffers"] = FJson::array({{{"byteLength", Bin.Num()}}});
		}
		const std::string Text = Document.dump();
		TArray<uint8> Glb;
		const uint32 Header[3] = {0x46546C67u, 2u, 0u};
		Glb.Append(reinterpret_cast<const uint8*>(Header), sizeof(Header));
		AppendChunk(Glb, 0x4E4F534Au, reinterpret_cast<const uint8*>(Text.data()), uint32(Text.size()), uint8(' '));
		if (!Bin.IsEmpty())
		{
			AppendChunk(Glb, 0x004E4942u, Bin.GetData(), uint32(Bin.Num()), 0);
		}
		const uint32 Length = uint32(Glb.Num());
		std::memcpy(Glb.GetData() + 8, &Length, sizeof(Length));
		return Glb;
	}
}
