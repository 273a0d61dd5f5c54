#include "SpirvReflection.h"

#include "ShaderCompileOutput.h"

#include <glslang/SPIRV/spirv.hpp>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace
{
	struct FTypeInfo
	{
		spv::Op Opcode = spv::OpNop;
		/** The instruction's operands after its result id. */
		std::vector<uint32> Operands;
	};

	struct FMemberInfo
	{
		std::string Name;
		std::optional<uint32> Offset;
		std::optional<uint32> MatrixStride;
		bool bNonWritable = false;
	};

	struct FIdInfo
	{
		std::string Name;
		std::optional<uint32> Set;
		std::optional<uint32> Binding;
		std::optional<uint32> ArrayStride;
		bool bBlock = false;
		bool bBufferBlock = false;
		std::map<uint32, FMemberInfo> Members;
	};

	class FModuleReader
	{
	public:
		bool Read(const TArray<uint32>& Words, FShaderCompileOutput& Output, FString& OutError);

	private:
		std::string ReadString(const uint32* Operands, uint32 Count) const;
		/** Bytes a value of type TypeId occupies, with MatrixStride for a matrix member. */
		uint32 SizeOf(uint32 TypeId, std::optional<uint32> MatrixStride, int32 Depth = 0) const;
		uint32 ConstantValue(uint32 Id) const;
		bool AddResource(uint32 VariableId, uint32 PointerTypeId, FShaderCompileOutput& Output, FString& OutError);

		std::map<uint32, FTypeInfo> Types;
		std::map<uint32, uint32> Constants;
		std::map<uint32, FIdInfo> Ids;
	};

	std::string FModuleReader::ReadString(const uint32* Operands, uint32 Count) const
	{
		const char* Bytes = reinterpret_cast<const char*>(Operands);
		const size_t MaxLength = static_cast<size_t>(Count) * 4;
		return std::string(Bytes, std::find(Bytes, Bytes + MaxLength, '\0'));
	}

	uint32 FModuleReader::ConstantValue(uint32 Id) const
	{
		const auto Found = Constants.find(Id);
		return Found == Constants.end() ? 0 : Found->second;
	}

	uint32 FModuleReader::SizeOf(uint32 TypeId, std::optional<uint32> MatrixStride, int32 Depth) const
	{
		const auto Found = Types.find(TypeId);
		// The depth bound stops a malformed module whose types refer to themselves.
		if (Found == Types.end() || Depth > 64)
		{
			return 0;
		}
		const FTypeInfo& Type = Found->second;
		const std::vector<uint32>& Ops = Type.Operands;
		switch (Type.Opcode)
		{
		case spv::OpTypeBool:
			return 4;
		case spv::OpTypeInt:
		case spv::OpTypeFloat:
			return Ops.empty() ? 0 : Ops[0] / 8;
		case spv::OpTypeVector:
			return Ops.size() < 2 ? 0 : Ops[1] * SizeOf(Ops[0], std::nullopt, Depth + 1);
		case spv::OpTypeMatrix:
		{
			if (Ops.size() < 2 || Ops[1] == 0)
			{
				return 0;
			}
			const uint32 ColumnSize = SizeOf(Ops[0], std::nullopt, Depth + 1);
			return (Ops[1] - 1) * MatrixStride.value_or(ColumnSize) + ColumnSize;
		}
		case spv::OpTypeArray:
		{
			const uint32 Length = Ops.size() < 2 ? 0 : ConstantValue(Ops[1]);
			if (Length == 0)
			{
				return 0;
			}
			const uint32 ElementSize = SizeOf(Ops[0], MatrixStride, Depth + 1);
			const auto Info = Ids.find(TypeId);
			const uint32 Stride = Info != Ids.end() && Info->second.ArrayStride ? *Info->second.ArrayStride : ElementSize;
			return (Length - 1) * Stride + ElementSize;
		}
		case spv::OpTypeStruct:
		{
			const auto Info = Ids.find(TypeId);
			uint32 End = 0;
			for (uint32 Member = 0; Member < Ops.size(); ++Member)
			{
				const FMemberInfo* MemberInfo = nullptr;
				if (Info != Ids.end())
				{
					const auto FoundMember = Info->second.Members.find(Member);
					MemberInfo = FoundMember != Info->second.Members.end() ? &FoundMember->second : nullptr;
				}
				const uint32 Offset = MemberInfo && MemberInfo->Offset ? *MemberInfo->Offset : End;
				End = std::max(End, Offset + SizeOf(Ops[Member], MemberInfo ? MemberInfo->MatrixStride : std::nullopt, Depth + 1));
			}
			return End;
		}
		default:
			// Runtime arrays have no fixed size; opaque types have none at all.
			return 0;
		}
	}

	bool FModuleReader::AddResource(uint32 VariableId, uint32 PointerTypeId, FShaderCompileOutput& Output, FString& OutError)
	{
		const auto Pointer = Types.find(PointerTypeId);
		if (Pointer == Types.end() || Pointer->second.Opcode != spv::OpTypePointer || Pointer->second.Operands.size() < 2)
		{
			OutError = TEXT("a resource variable's type is not a pointer");
			return false;
		}
		const spv::StorageClass Storage = static_cast<spv::StorageClass>(Pointer->second.Operands[0]);
		uint32 TypeId = Pointer->second.Operands[1];

		FShaderResourceBinding Resource;
		const FIdInfo& Variable = Ids[VariableId];
		Resource.Set = Variable.Set.value_or(0);
		Resource.Binding = Variable.Binding.value_or(0);
		// Arrays of resources: the element type decides the kind.
		const FTypeInfo* Type = &Types[TypeId];
		if (Type->Opcode == spv::OpTypeArray && Type->Operands.size() >= 2)
		{
			Resource.ArraySize = ConstantValue(Type->Operands[1]);
			TypeId = Type->Operands[0];
			Type = &Types[TypeId];
		}
		else if (Type->Opcode == spv::OpTypeRuntimeArray && !Type->Operands.empty())
		{
			Resource.ArraySize = 0;
			TypeId = Type->Operands[0];
			Type = &Types[TypeId];
		}
		const FIdInfo& TypeInfo = Ids[TypeId];
		// A cbuffer's variable has an empty name; its block type carries the cbuffer's name.
		Resource.Name = FString(Variable.Name.empty() ? TypeInfo.Name : Variable.Name);

		if (Type->Opcode == spv::OpTypeImage && Type->Operands.size() >= 7)
		{
			const bool bBuffer = static_cast<spv::Dim>(Type->Operands[1]) == spv::DimBuffer;
			const bool bStorage = Type->Operands[5] == 2;
			Resource.Kind = bBuffer ? (bStorage ? EShaderResourceKind::TypedBufferUAV : EShaderResourceKind::TypedBufferSRV)
									: (bStorage ? EShaderResourceKind::TextureUAV : EShaderResourceKind::TextureSRV);
		}
		else if (Type->Opcode == spv::OpTypeSampler)
		{
			Resource.Kind = EShaderResourceKind::Sampler;
		}
		else if (Type->Opcode == spv::OpTypeStruct && Storage == spv::StorageClassUniform && TypeInfo.bBlock)
		{
			Resource.Kind = EShaderResourceKind::UniformBuffer;
			Resource.Size = SizeOf(TypeId, std::nullopt);
			for (uint32 Member = 0; Member < Type->Operands.size(); ++Member)
			{
				const auto FoundMember = TypeInfo.Members.find(Member);
				const FMemberInfo Info = FoundMember != TypeInfo.Members.end() ? FoundMember->second : FMemberInfo();
				Resource.Members.Add({FString(Info.Name), Info.Offset.value_or(0), SizeOf(Type->Operands[Member], Info.MatrixStride)});
			}
		}
		else if (Type->Opcode == spv::OpTypeStruct && (Storage == spv::StorageClassStorageBuffer || TypeInfo.bBufferBlock))
		{
			const bool bReadOnly = !TypeInfo.Members.empty()
				&& std::all_of(TypeInfo.Members.begin(), TypeInfo.Members.end(), [](const auto& Member) { return Member.second.bNonWritable; });
			Resource.Kind = bReadOnly ? EShaderResourceKind::BufferSRV : EShaderResourceKind::BufferUAV;
			Resource.Size = SizeOf(TypeId, std::nullopt);
		}
		else
		{
			OutError = FString::Printf(TEXT("the resource '%s' is of a kind that cannot be bound (SPIR-V type opcode %u)"), *Resource.Name,
				static_cast<uint32>(Type->Opcode));
			return false;
		}
		Output.Resources.Add(std::move(Resource));
		return true;
	}

	bool FModuleReader::Read(const TArray<uint32>& Words, FShaderCompileOutput& Output, FString& OutError)
	{
		constexpr int32 HeaderWords = 5;
		if (Words.Num() < HeaderWords || Words[0] != spv::MagicNumber)
		{
			OutError = TEXT("the words are not a SPIR-V module");
			return false;
		}
		std::vector<std::pair<uint32, uint32>> Variables;
		for (int32 Index = HeaderWords; Index < Words.Num();)
		{
			const uint32 WordCount = Words[Index] >> 16;
			const spv::Op Opcode = static_cast<spv::Op>(Words[Index] & 0xFFFF);
			if (WordCount == 0 || Index + static_cast<int64>(WordCount) > Words.Num())
			{
				OutError = FString::Printf(TEXT("the SPIR-V instruction at word %d is truncated"), Index);
				return false;
			}
			const uint32* Ops = Words.GetData() + Index + 1;
			const uint32 Count = WordCount - 1;
			Index += WordCount;

			switch (Opcode)
			{
			case spv::OpName:
				if (Count >= 1)
				{
					Ids[Ops[0]].Name = ReadString(Ops + 1, Count - 1);
				}
				break;
			case spv::OpMemberName:
				if (Count >= 2)
				{
					Ids[Ops[0]].Members[Ops[1]].Name = ReadString(Ops + 2, Count - 2);
				}
				break;
			case spv::OpDecorate:
				if (Count >= 2)
				{
					FIdInfo& Info = Ids[Ops[0]];
					const spv::Decoration Decoration = static_cast<spv::Decoration>(Ops[1]);
					const std::optional<uint32> Literal = Count >= 3 ? std::optional<uint32>(Ops[2]) : std::nullopt;
					switch (Decoration)
					{
					case spv::DecorationDescriptorSet: Info.Set = Literal; break;
					case spv::DecorationBinding: Info.Binding = Literal; break;
					case spv::DecorationArrayStride: Info.ArrayStride = Literal; break;
					case spv::DecorationBlock: Info.bBlock = true; break;
					case spv::DecorationBufferBlock: Info.bBufferBlock = true; break;
					default: break;
					}
				}
				break;
			case spv::OpMemberDecorate:
				if (Count >= 3)
				{
					FMemberInfo& Member = Ids[Ops[0]].Members[Ops[1]];
					const spv::Decoration Decoration = static_cast<spv::Decoration>(Ops[2]);
					const std::optional<uint32> Literal = Count >= 4 ? std::optional<uint32>(Ops[3]) : std::nullopt;
					switch (Decoration)
					{
					case spv::DecorationOffset: Member.Offset = Literal; break;
					case spv::DecorationMatrixStride: Member.MatrixStride = Literal; break;
					case spv::DecorationNonWritable: Member.bNonWritable = true; break;
					default: break;
					}
				}
				break;
			case spv::OpExecutionMode:
				if (Count >= 5 && static_cast<spv::ExecutionMode>(Ops[1]) == spv::ExecutionModeLocalSize)
				{
					Output.ThreadGroupSize[0] = Ops[2];
					Output.ThreadGroupSize[1] = Ops[3];
					Output.ThreadGroupSize[2] = Ops[4];
				}
				break;
			case spv::OpConstant:
				if (Count >= 3)
				{
					Constants[Ops[1]] = Ops[2];
				}
				break;
			case spv::OpTypeBool:
			case spv::OpTypeInt:
			case spv::OpTypeFloat:
			case spv::OpTypeVector:
			case spv::OpTypeMatrix:
			case spv::OpTypeImage:
			case spv::OpTypeSampler:
			case spv::OpTypeSampledImage:
			case spv::OpTypeArray:
			case spv::OpTypeRuntimeArray:
			case spv::OpTypeStruct:
			case spv::OpTypePointer:
				if (Count >= 1)
				{
					Types[Ops[0]] = {Opcode, std::vector<uint32>(Ops + 1, Ops + Count)};
				}
				break;
			case spv::OpVariable:
				if (Count >= 3)
				{
					const spv::StorageClass Storage = static_cast<spv::StorageClass>(Ops[2]);
					if (Storage == spv::StorageClassUniformConstant || Storage == spv::StorageClassUniform
						|| Storage == spv::StorageClassStorageBuffer)
					{
						Variables.emplace_back(Ops[1], Ops[0]);
					}
				}
				break;
			default:
				break;
			}
		}

		for (const auto& [VariableId, PointerTypeId] : Variables)
		{
			if (!AddResource(VariableId, PointerTypeId, Output, OutError))
			{
				return false;
			}
		}
		std::stable_sort(Output.Resources.begin(), Output.Resources.end(), [](const FShaderResourceBinding& A, const FShaderResourceBinding& B) {
			return A.Set != B.Set ? A.Set < B.Set : A.Binding < B.Binding;
		});
		return true;
	}
}

bool FSpirvReflection::Reflect(const TArray<uint32>& Words, FShaderCompileOutput& Output, FString& OutError)
{
	Output.Resources.Reset();
	Output.ThreadGroupSize[0] = Output.ThreadGroupSize[1] = Output.ThreadGroupSize[2] = 0;
	FModuleReader Reader;
	return Reader.Read(Words, Output, OutError);
}
