-- Foundation tables, part 5: registry persons shared by several tables.
--
-- A record of a dataset that does not own its registry rows reuses the row
-- of the same person in the period (a collaborator who is also an
-- employee), and a record may be given the registry id of another table's
-- person. Such a row is marked shared when a record takes it up; a dataset
-- that owns its rows deletes its record's row with the record only while
-- the row is not shared, so that the other table keeps its person's name
-- and fiscal code. A shared row outlives its records (a few stale rows of a
-- period cost less than a search through the value rows at every delete).
ALTER TABLE TAFI_ANAFISCALE ADD LAFICONDIVISA SMALLINT DEFAULT 0 NOT NULL;
ALTER TABLE TAFI_ANAFISCALE ADD CONSTRAINT CK_AFI_CONDIVISA CHECK (LAFICONDIVISA IN (0, 1));
