-- Payroll archive, fifth script: the state of birth of a person born abroad.
-- A person born in Italy has the municipality of birth (IANACOMNASCITA); one
-- born abroad has none, and the public-sector declaration names the foreign
-- state instead.

ALTER TABLE TANA_ANAGRAFICHE ADD IANASTANASCITA INTEGER;
ALTER TABLE TANA_ANAGRAFICHE ADD CONSTRAINT FK_ANA_STA_NASCITA FOREIGN KEY (IANASTANASCITA) REFERENCES TSTA_STATI (ISTAID);
