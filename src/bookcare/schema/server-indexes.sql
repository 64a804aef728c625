-- Made after the rows are in. The trigram index holds the chapter texts with
-- ASCII capitals folded (ywnr_folded), the form in which the full-text
-- search compares them.
CREATE INDEX ywzx_ywlb_flbh_id ON ywzx_ywlb (flbh, id);
CREATE UNIQUE INDEX ywzx_ywlb_lbbh ON ywzx_ywlb (lbbh);
CREATE INDEX ywzx_ywnr_lbbh ON ywzx_ywnr (lbbh);
CREATE UNIQUE INDEX ywzx_ywnr_nrbh ON ywzx_ywnr (nrbh);
CREATE INDEX ywzx_ywlb_ywnr_trgm ON ywzx_ywlb USING gin (ywnr_folded gin_trgm_ops);
CREATE INDEX ywzx_ywlb_ywnr_pairs ON ywzx_ywlb USING gin (ebook_pairs(ywnr_folded));
CREATE INDEX ywzx_ywlb_ywnr_chars ON ywzx_ywlb USING gin (ebook_chars(ywnr_folded));
