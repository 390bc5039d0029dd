#pragma once

#include <string>

// The date a picture was taken, from the XMP packet of a JPEG's APP1
// segment (the text behind "http://ns.adobe.com/xap/1.0/\0"): its
// exif:DateTimeOriginal, else its xmp:CreateDate, as attribute or element,
// in EXIF's form "YYYY:MM:DD HH:MM:SS". Empty when neither holds a date
// with a time of day. Phones and raw converters often keep the date there
// only.
std::string xmpDateTaken(const std::string& packet);

// The first text of an XMP property, as the dc: properties hold it: an
// element whose first rdf:li (of its Seq, Bag or Alt) or whose own content
// is the text, or an attribute; XML's entities and character references
// decoded. Empty when the packet has none.
std::string xmpText(const std::string& packet, const std::string& name);

// The signature an XMP APP1 segment starts with.
constexpr char xmpSignature[] = "http://ns.adobe.com/xap/1.0/";
