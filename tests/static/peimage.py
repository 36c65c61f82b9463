"""A small reader of PE files (32- and 64-bit) for the static checks.

It reads only what the checks need: the image base, section headers, the
export and import directories and the resource tree. Every offset is checked
against the file.
"""

import struct


class Invalid(Exception):
    pass


def unpack(fmt, data, offset):
    size = struct.calcsize(fmt)
    if offset < 0 or offset + size > len(data):
        raise Invalid("truncated: %d bytes needed at offset %d" % (size, offset))
    return struct.unpack_from(fmt, data, offset)


class Section:
    def __init__(self, name, rva, virtual_size, raw_offset, raw_size, characteristics):
        self.name, self.rva, self.virtual_size = name, rva, virtual_size
        self.raw_offset, self.raw_size, self.characteristics = raw_offset, raw_size, characteristics


class PeImage:
    EXPORT, IMPORT, RESOURCE = 0, 1, 2

    def __init__(self, image):
        self.image = image
        if image[:2] != b"MZ":
            raise Invalid("not an executable (no MZ header)")
        (pe,) = unpack("<I", image, 0x3C)
        if image[pe:pe + 4] != b"PE\0\0":
            raise Invalid("no PE signature")
        self.machine, section_count, _, _, _, optional_size, self.flags = unpack("<HHIIIHH", image, pe + 4)
        optional = pe + 24
        (magic,) = unpack("<H", image, optional)
        if magic == 0x10B:
            self.is64, directories = False, optional + 96
            (self.image_base,) = unpack("<I", image, optional + 28)
        elif magic == 0x20B:
            self.is64, directories = True, optional + 112
            (self.image_base,) = unpack("<Q", image, optional + 24)
        else:
            raise Invalid("unknown optional header magic 0x%x" % magic)
        (self.directory_count,) = unpack("<I", image, directories - 4)
        self.directories = directories
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            at = table + 40 * i
            name = image[at:at + 8].rstrip(b"\0").decode("latin-1")
            virtual_size, rva, raw_size, raw_offset = unpack("<IIII", image, at + 8)
            (characteristics,) = unpack("<I", image, at + 36)
            self.sections.append(Section(name, rva, virtual_size, raw_offset, raw_size, characteristics))

    @classmethod
    def load(cls, path):
        with open(path, "rb") as handle:
            return cls(handle.read())

    def directory(self, index):
        if index >= self.directory_count:
            return 0, 0
        return unpack("<II", self.image, self.directories + 8 * index)

    def section(self, name):
        for section in self.sections:
            if section.name == name:
                return section
        return None

    def section_bytes(self, section):
        size = min(section.virtual_size or section.raw_size, section.raw_size)
        return self.image[section.raw_offset:section.raw_offset + size]

    def file_offset(self, rva):
        for s in self.sections:
            if s.rva <= rva < s.rva + max(s.virtual_size, s.raw_size):
                if rva - s.rva >= s.raw_size:
                    raise Invalid("RVA 0x%x lies in uninitialised data" % rva)
                return s.raw_offset + rva - s.rva
        raise Invalid("RVA 0x%x is in no section" % rva)

    def c_string(self, rva):
        at = self.file_offset(rva)
        end = self.image.find(b"\0", at)
        if end < 0:
            raise Invalid("unterminated name at RVA 0x%x" % rva)
        return self.image[at:end].decode("latin-1")

    def exports(self):
        """(name of the export directory, ordinal base, {ordinal: name or None},
        {ordinal: RVA of the function})."""
        rva, size = self.directory(self.EXPORT)
        if not rva:
            return None, 0, {}, {}
        at = self.file_offset(rva)
        (_, _, _, _, name_rva, base, function_count, name_count,
         functions_rva, names_rva, ordinals_rva) = unpack("<IIHHIIIIIII", self.image, at)
        ordinals, addresses = {}, {}
        for i in range(function_count):
            (address,) = unpack("<I", self.image, self.file_offset(functions_rva) + 4 * i)
            if address:
                ordinals[base + i] = None
                addresses[base + i] = address
        for i in range(name_count):
            (name_rva_i,) = unpack("<I", self.image, self.file_offset(names_rva) + 4 * i)
            (index,) = unpack("<H", self.image, self.file_offset(ordinals_rva) + 2 * i)
            ordinals[base + index] = self.c_string(name_rva_i)
        return self.c_string(name_rva), base, ordinals, addresses

    def imports(self):
        """{dll name: [ordinal (int) or name (str), ...]} in table order."""
        rva, _ = self.directory(self.IMPORT)
        result = {}
        if not rva:
            return result
        at = self.file_offset(rva)
        thunk_format, ordinal_flag = ("<Q", 1 << 63) if self.is64 else ("<I", 1 << 31)
        thunk_size = 8 if self.is64 else 4
        while True:
            lookup_rva, _, _, name_rva, address_rva = unpack("<IIIII", self.image, at)
            if not name_rva:
                break
            entries = []
            thunk = self.file_offset(lookup_rva or address_rva)
            while True:
                (value,) = unpack(thunk_format, self.image, thunk)
                if not value:
                    break
                if value & ordinal_flag:
                    entries.append(value & 0xFFFF)
                else:
                    entries.append(self.c_string((value & 0x7FFFFFFF) + 2))
                thunk += thunk_size
            result[self.c_string(name_rva)] = entries
            at += 20
        return result

    def resources(self):
        """{(type, name): [data, ...]}; names of named entries in upper case."""
        resource_rva, resource_size = self.directory(self.RESOURCE)
        if resource_rva == 0 or resource_size == 0:
            raise Invalid("the program has no resources")
        image = self.image
        base = self.file_offset(resource_rva)

        def entry_name(value):
            if value & 0x80000000:
                at = base + (value & 0x7FFFFFFF)
                (length,) = unpack("<H", image, at)
                raw = image[at + 2:at + 2 + 2 * length]
                if len(raw) != 2 * length:
                    raise Invalid("truncated resource name")
                return raw.decode("utf-16-le").upper()
            return value

        def entries(offset):
            named, numbered = unpack("<HH", image, base + offset + 12)
            for i in range(named + numbered):
                name, target = unpack("<II", image, base + offset + 16 + 8 * i)
                yield entry_name(name), target

        found = {}
        for type_id, type_target in entries(0):
            if not type_target & 0x80000000:
                continue
            for name, name_target in entries(type_target & 0x7FFFFFFF):
                if not name_target & 0x80000000:
                    continue
                for _, leaf in entries(name_target & 0x7FFFFFFF):
                    if leaf & 0x80000000:
                        raise Invalid("resource %r has a fourth level" % (name,))
                    data_rva, data_size, _, _ = unpack("<IIII", image, base + leaf)
                    at = self.file_offset(data_rva)
                    data = image[at:at + data_size]
                    if len(data) != data_size:
                        raise Invalid("resource %r runs past the end of the file" % (name,))
                    found.setdefault((type_id, name), []).append(data)
        return found
