#pragma once
#include <QByteArray>

class ReviewDocument;

// Every note as one row of "call_id,time_start,start_ms,end_ms,category,text"
// (RFC 4180: CRLF line ends, fields with commas, quotes or line breaks
// quoted), UTF-8 without byte order mark.
QByteArray reviewCsv(const ReviewDocument& irDocument);
