-- The book file of the reading room: an SQLite 3 database with two tables.
--
-- Chapters (ywzx_ywlb) form a tree through flbh, the code of the parent
-- chapter. The root chapter has lbbh '00000', names the book in lbmc and is
-- its own parent (flbh '00000'). Siblings are listed in ascending id; a new
-- chapter takes the largest id of the table plus 1.
-- Articles (ywzx_ywnr) belong to the chapter whose code is in their lbbh.
-- Chapter codes and article codes are separate name spaces, unique within
-- their table (the program checks before it writes).
--
-- Values:
--   codes, names, titles, employee  text (codes at most five characters)
--   xgrq                            text 'YYYY-MM-DD HH:MM:SS', local time
--   ywnr                            text; lines separated by CR LF; may be NULL
--   photoimage                      the bytes of a picture file, or the three
--                                   bytes 'nil' when the chapter has none
--   checkimage                      '1' when photoimage holds a picture, else '0'
-- Texts are UTF-8. The declared types tell the program how to show a value:
-- DATETIME columns as dates, TEXT columns as long texts (a NULL reads as
-- empty), VARCHAR columns as short texts.

CREATE TABLE ywzx_ywlb (
    id          INTEGER,
    lbbh        VARCHAR(5),
    lbmc        VARCHAR(200),
    flbh        VARCHAR(5),
    xgrq        DATETIME,
    xgr         VARCHAR(10),
    ywnr        TEXT,
    photoimage  BLOB,
    checkimage  VARCHAR(1)
);

CREATE TABLE ywzx_ywnr (
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    nrbh        VARCHAR(5),
    nrbt        VARCHAR(40),
    lbbh        VARCHAR(5),
    xgrq        DATETIME,
    xgr         VARCHAR(10),
    ywnr        TEXT
);

-- The child query (flbh = ? order by id), the article query (lbbh = ?) and
-- the look-ups by code.
CREATE INDEX ywzx_ywlb_flbh_id ON ywzx_ywlb (flbh, id);
CREATE INDEX ywzx_ywlb_lbbh ON ywzx_ywlb (lbbh);
CREATE INDEX ywzx_ywnr_lbbh ON ywzx_ywnr (lbbh);
CREATE INDEX ywzx_ywnr_nrbh ON ywzx_ywnr (nrbh);

-- Optional: the full-text index of the chapters' texts (ebook-tool index
-- BOOK adds it, --drop removes it, --check verifies and repairs it; the
-- tool's create, demo, generate and import write it unless given
-- --no-index). A book without it is a valid book: the reader then scans.
--   ywzx_ywlb_fts      contentless FTS5 table (ascii tokenizer, no positions)
--                      of the character pairs of each chapter code's texts
--   ywzx_ywlb_fts_key  the code (lbbh) of each of its rows, by its rowid
--   ywzx_ywlb_fts_n    the numbers 0-999, the triggers' loops over a text
--   ywzx_ywlb_fts_feed, ywzx_ywlb_fts_scratch
--                      empty; a text fed in leaves its pairs in the scratch
--                      table (trigger ywzx_ywlb_fts_feed_pairs)
--   ywzx_ywlb_fts_quiet  empty; a row holds the triggers back while the
--                      reader's own save keeps the index itself
--   triggers ywzx_ywlb_fts_insert, _delete and _update on ywzx_ywlb keep
--   the index in step with every writer, at a cost in proportion to the text.
-- The entries are keyed on the chapter's code, not on ywzx_ywlb's rowid,
-- which VACUUM may renumber. The reader reads the index for a search text
-- with a run of two or more characters without % or _; its saves write it.
